#pragma once

#include "app/ChildWindows.h"
#include "app/HelpWindow.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace lexaro {

class TMainWndLogic;
struct TAppFolders;
class TQtMessageSink;
class TSpeechEngine;

// Makes the speech engine with the registry store (Lexaro.Reg) of the program's read-only data
// folder (TAppFolders::resources); may give none.
using SpeechEngineFactory =
    std::function<std::unique_ptr<TSpeechEngine>(const std::filesystem::path& resourceFolder)>;

// The program's main window: it shows the chosen language file and lessons, starts exercises
// and opens every other window. Its decisions and the objects the program shares live in
// TMainWndLogic; the window calls it and renders what it gives. Closing it writes the settings
// and ends the run.
class tMainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window for the application folder (as the system names it). When Lexaro.Ini
    // is missing or unusable the user has been told and HasEnded() is true: the program ends
    // without showing the window. The speech engine is made with the window by the factory
    // (none: no speech).
    explicit tMainWindow(const std::filesystem::path& appFolder, SpeechEngineFactory speech = {},
                         QWidget* parent = nullptr);
    // The same for the folders of either form (AppFolders.h).
    explicit tMainWindow(const TAppFolders& folders, SpeechEngineFactory speech = {},
                         QWidget* parent = nullptr);
    ~tMainWindow() override;

    // True when the program is to end without (further) running: a file it needs was missing
    // or unusable, or the first UI language was not in the text database. The window is not
    // shown then, and the program's exit status is ExitCode().
    bool HasEnded() const;
    int ExitCode() const { return HasEnded() ? 1 : 0; }

    // Seams for the windows this one opens. Without a factory the controls that open that
    // window stay disabled.
    void SetExerciseWindowFactory(ExerciseWindowFactory factory);
    void SetExerciseEditorFactory(ExerciseEditorFactory factory);
    void SetSettingsDialogFactory(SettingsDialogFactory factory);
    void SetProgressWindowFactory(ProgressWindowFactory factory);

    TMainWndLogic& Logic() const { return *logic_; }
    // What the windows this one opens get to work with.
    TWindowContext Context();
    IExerciseWindow* ExerciseWindow() const { return exerciseWnd_.get(); }
    IProgressWindow* ProgressWindow() const { return progressWnd_.get(); }
    THelpWindow* HelpWindow() const { return helpWindow_.data(); }
    // The language-file picture as shown.
    const QPixmap& LangPicture() const { return langPicture_; }
    // A window text by number in the current UI language.
    QString Text(int number) const;

    // User actions (menu items and buttons); each reports its own errors in a message box.
    void ExerciseRun();
    void EditExercise();
    void GeneralProperty();
    // Opens the progress window anew (one that is open is replaced, with fresh figures).
    void ShowProgress();
    // "EN" or "DE": selects the UI language and applies every text of the window.
    void ApplyUiLanguage(const std::string& code);
    void ShowHelpTopic(const QString& topic);
    void ShowHelpContext(int context);
    void ShowHelpContents();
    void ShowAbout();

    void ShowLangFileAndLessons();
    void ControlUpdate();

    // Controls, named as the program's help and tests know them.
    QGroupBox* mainBox = nullptr;
    QPushButton* btnExerciseRun = nullptr;
    QLabel* panelLangFile = nullptr;
    QLabel* imageLangFile = nullptr;
    QFrame* panelUnits = nullptr;
    QLabel* imageUnits = nullptr;
    QLabel* labelSelUnits = nullptr;
    QGroupBox* selectLangBox = nullptr;
    QRadioButton* rbtnFirstLang = nullptr;
    QRadioButton* rbtnSecondLang = nullptr;
    QGroupBox* wordChoosBox = nullptr;
    QCheckBox* cbNewLoad = nullptr;
    QCheckBox* cbResetPrio = nullptr;
    QCheckBox* cbDueFirst = nullptr;
    QPushButton* btnGeneralProperty = nullptr;
    QPushButton* btnEditExercise = nullptr;
    QPushButton* btnProgress = nullptr;
    QPushButton* btnHelp = nullptr;

    QMenu* mExercise = nullptr;
    QAction* mExerciseRun = nullptr;
    QAction* mExerciseGenSettings = nullptr;
    QAction* mExerciseEditLessons = nullptr;
    QAction* mExerciseProgress = nullptr;
    QAction* mExerciseExit = nullptr;
    QMenu* mAppLanguage = nullptr;
    QAction* mAppEnglish = nullptr;
    QAction* mAppGerman = nullptr;
    QMenu* mHelp = nullptr;
    QAction* mHelpGeneral = nullptr;
    QAction* mHelpContents = nullptr;
    QAction* mHelpAbout = nullptr;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildForm();
    void buildMenu();
    void activate();
    void applyTexts();
    void cbNewLoadClick();
    void langRadioClick();
    void endProgram();
    bool exerciseVisible() const;

    // Runs a user action and shows any error it raises instead of ending the program.
    template <typename Action> void guarded(Action&& action);
    void reportError(const QString& text);

    std::shared_ptr<TQtMessageSink> sink_;
    std::unique_ptr<TMainWndLogic> logic_;
    // Destroyed before the window's children, so an exercise window that is also a child
    // widget of this window is deleted exactly once.
    std::unique_ptr<IExerciseWindow> exerciseWnd_;
    std::unique_ptr<IProgressWindow> progressWnd_;
    QPointer<THelpWindow> helpWindow_;

    ExerciseWindowFactory exerciseWindowFactory_;
    ExerciseEditorFactory exerciseEditorFactory_;
    SettingsDialogFactory settingsDialogFactory_;
    ProgressWindowFactory progressWindowFactory_;

    QPixmap langPicture_;
    QPixmap defaultLangPicture_;
    QActionGroup* languageGroup_ = nullptr;
    // Activation runs the speech engine's start, which lets events through: not twice at once.
    bool activating_ = false;
};

} // namespace lexaro
