#include "program/Program.h"

#include "controls/PropertyDlg.h"
#include "editing/EditExercise.h"
#include "exercise_window/ExerciseWnd.h"
#include "progress_window/ProgressWnd.h"
#include "speech/DesktopSpeech.h"
#include "speech/SpeechEngine.h"

namespace lexaro {

std::unique_ptr<tMainWindow> MakeProgramWindow(const std::filesystem::path& appFolder) {
    return MakeProgramWindow(TAppFolders::Portable(appFolder));
}

std::unique_ptr<tMainWindow> MakeProgramWindow(const TAppFolders& folders) {
    auto window = std::make_unique<tMainWindow>(folders, MakeDesktopSpeechEngine);
    if (!window->HasEnded())
        InstallProgramWindows(*window);
    return window;
}

void InstallProgramWindows(tMainWindow& window) {
    // One factory for each window the main window opens.
    window.SetExerciseWindowFactory(MakeExerciseWindow);
    window.SetExerciseEditorFactory(MakeExerciseEditor);
    window.SetSettingsDialogFactory(MakeSettingsDialog);
    window.SetProgressWindowFactory(MakeProgressWindow);
}

} // namespace lexaro
