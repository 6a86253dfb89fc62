#include "app/MainWnd.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "controls/PropertyDlg.h"
#include "exercise/ExerciseWnd.h"
#include "speech/DesktopSpeech.h"
#include "speech/SpeechEngine.h"

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

    lexaro::tMainWindow window(appFolder, lexaro::MakeDesktopSpeechEngine);
    if (window.HasEnded())
        return window.ExitCode();
    // The other windows join here, one factory each.
    window.SetExerciseWindowFactory(lexaro::MakeExerciseWindow);
    window.SetSettingsDialogFactory(lexaro::MakeSettingsDialog);
    window.show();
    if (window.HasEnded())
        return window.ExitCode();
    return QApplication::exec();
}
