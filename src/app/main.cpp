#include "app/MainWnd.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"

#include <QApplication>
#include <QIcon>

// The program's entry: the main window starts and ends everything.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    lexaro::EnsureResources();
    QApplication::setApplicationName("Lexaro");
    QApplication::setWindowIcon(QIcon(":/images/app-icon.svg"));

    std::string appFolder;
    if (!lexaro::Cp1252FromQt(QCoreApplication::applicationDirPath(), appFolder))
        appFolder = lexaro::Cp1252FromQtLossy(QCoreApplication::applicationDirPath());

    lexaro::tMainWindow window(appFolder);
    if (window.HasEnded())
        return 0;
    // The other windows join here, one factory each.
    window.show();
    if (window.HasEnded())
        return 0;
    return QApplication::exec();
}
