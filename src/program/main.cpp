#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "program/Program.h"

#include <QApplication>
#include <QIcon>

// The program's entry: the main window starts and ends everything.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    lexaro::EnsureResources();
    QApplication::setApplicationName("Lexaro");
    QApplication::setWindowIcon(QIcon(":/images/app-icon.svg"));

    // The application folder as the system names it: no conversion, whatever its characters.
    const std::filesystem::path appFolder =
        lexaro::PathFromQt(QCoreApplication::applicationDirPath());

    const std::unique_ptr<lexaro::tMainWindow> window = lexaro::MakeProgramWindow(appFolder);
    if (window->HasEnded())
        return window->ExitCode();
    window->show();
    if (window->HasEnded())
        return window->ExitCode();
    return QApplication::exec();
}
