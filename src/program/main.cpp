#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "program/Program.h"

#include <QApplication>
#include <QIcon>

#include <optional>
#include <string>

// The program's entry: the main window starts and ends everything.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    lexaro::EnsureResources();
    QApplication::setApplicationName("Lexaro");
    QApplication::setWindowIcon(QIcon(":/images/app-icon.svg"));

    // The program's folder as the system names it: no conversion, whatever its characters.
    // Text.Db beside it makes Lexaro portable; otherwise it is installed, with the learner's
    // own folders. A start without Lexaro.Ini gets the preset settings (AppFolders.h).
    const std::filesystem::path programFolder =
        lexaro::PathFromQt(QCoreApplication::applicationDirPath());
    std::string why;
    const std::optional<lexaro::TAppFolders> folders =
        lexaro::FindAppFolders(programFolder, lexaro::ProcessEnvironment, &why);
    if (!folders) {
        lexaro::showMessage(
            "Lexaro",
            QString::fromStdString("Lexaro cannot find a home for your files: " + why + "."),
            lexaro::kMbIconWarning, true, nullptr);
        return 1;
    }
    if (const auto fault = lexaro::PrepareLearnerFolders(*folders)) {
        lexaro::showMessage("Lexaro",
                            "Lexaro cannot make " + lexaro::QtFromPath(fault->folder) + ": " +
                                QString::fromStdString(fault->reason) + ".",
                            lexaro::kMbIconWarning, true, nullptr);
        return 1;
    }

    const std::unique_ptr<lexaro::tMainWindow> window = lexaro::MakeProgramWindow(*folders);
    if (window->HasEnded())
        return window->ExitCode();
    window->show();
    if (window->HasEnded())
        return window->ExitCode();
    return QApplication::exec();
}
