#pragma once

#include "app/ChildWindows.h"
#include "app/HelpWindow.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

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

class TAppIniFile;
class TAppLangHandler;
class TLangFHandler;
class TSpeechEngine;
class TQtMessageSink;

// Makes the speech engine for an application folder; may give none.
using SpeechEngineFactory =
    std::function<std::unique_ptr<TSpeechEngine>(const std::string& appFolder)>;
// The program's own: espeak-ng voices through Lexaro's audio output.
SpeechEngineFactory DesktopSpeechEngineFactory();

// The program's main window: it owns the objects the whole program shares (settings, UI
// texts, language file, speech engine), shows the chosen language file and lessons, starts
// exercises and opens every other window. Closing it writes the settings and ends the run.
class tMainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window for the application folder. When Lexaro.Ini is missing the user has
    // been told and HasEnded() is true: the program ends without showing the window.
    // The speech engine is made with the window (tests pass their own factory or none).
    explicit tMainWindow(std::string appFolder,
                         SpeechEngineFactory speech = DesktopSpeechEngineFactory(),
                         QWidget* parent = nullptr);
    ~tMainWindow() override;

    // True when the program is to end without (further) running: the settings file, the text
    // database or the first UI language was missing. The window is not shown then.
    bool HasEnded() const { return ended_; }
    bool IsInitialised() const { return initialised_; }

    // Seams for the windows this one opens. Without a factory the controls that open that
    // window stay disabled.
    void SetExerciseWindowFactory(ExerciseWindowFactory factory);
    void SetExerciseEditorFactory(ExerciseEditorFactory factory);
    void SetSettingsDialogFactory(SettingsDialogFactory factory);

    // The shared objects, for the windows this one opens.
    const std::shared_ptr<TAppIniFile>& Settings() const { return settings_; }
    const std::shared_ptr<TAppLangHandler>& Texts() const { return texts_; }
    const std::shared_ptr<TLangFHandler>& LangHandler() const { return langHandler_; }
    // Null while no speech engine is available.
    const std::shared_ptr<TSpeechEngine>& SpeechEngine() const { return speech_; }
    const std::string& AppFolder() const { return appFolder_; }
    const std::string& UiLanguage() const { return uiLanguage_; }
    // Asked by the exercise window for every card.
    bool IsFirstLangChecked() const;
    // Run for the exercise window when it closes: holds back the entries with priorities 1..8.
    void SplitHeldBack();
    IExerciseWindow* ExerciseWindow() const { return exerciseWnd_.get(); }
    THelpWindow* HelpWindow() const { return helpWindow_.data(); }
    bool ComposedByEditor() const { return composedByEditor_; }
    bool ExercisePossible() const { return exercisePossible_; }
    bool LangFileFound() const { return langFileFound_; }
    // The language-file picture as shown.
    const QPixmap& LangPicture() const { return langPicture_; }
    // A window text by number in the current UI language.
    QString Text(int number) const;

    // User actions (menu items and buttons); each reports its own errors in a message box.
    void ExerciseRun();
    void EditExercise();
    void GeneralProperty();
    // "EN" or "DE": selects the UI language and applies every text of the window.
    void ApplyUiLanguage(const std::string& code);
    void ShowHelpTopic(const QString& topic);
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
    QPushButton* btnGeneralProperty = nullptr;
    QPushButton* btnEditExercise = nullptr;
    QPushButton* btnHelp = nullptr;

    QMenu* mExercise = nullptr;
    QAction* mExerciseRun = nullptr;
    QAction* mExerciseGenSettings = nullptr;
    QAction* mExerciseEditLessons = nullptr;
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
    bool firstShow();
    void activate();
    void applyTexts();
    void cbNewLoadClick();
    void langRadioClick();
    void showLangPicture();
    void closeSequence();
    void endProgram();

    // The speech engine's life: made with the window, opened on every activation, destroyed
    // at close.
    void createSpeechEngine();
    bool openSpeechEngine();
    void destroySpeechEngine();

    // Runs a user action and shows any error it raises instead of ending the program.
    template <typename Action> void guarded(Action&& action);
    void reportError(const QString& text);

    std::string appFolder_;
    std::string uiLanguage_ = "EN";
    std::unique_ptr<TQtMessageSink> sink_;
    std::shared_ptr<TAppIniFile> settings_;
    std::shared_ptr<TAppLangHandler> texts_;
    std::shared_ptr<TLangFHandler> langHandler_;
    std::shared_ptr<TSpeechEngine> speech_;
    // Destroyed before the window's children, so an exercise window that is also a child
    // widget of this window is deleted exactly once.
    std::unique_ptr<IExerciseWindow> exerciseWnd_;
    QPointer<THelpWindow> helpWindow_;

    ExerciseWindowFactory exerciseWindowFactory_;
    ExerciseEditorFactory exerciseEditorFactory_;
    SettingsDialogFactory settingsDialogFactory_;
    SpeechEngineFactory speechFactory_;

    QPixmap langPicture_;
    QPixmap defaultLangPicture_;
    QActionGroup* languageGroup_ = nullptr;

    bool firstShowPending_ = false;
    bool initialised_ = false;
    bool langFileFound_ = false;
    bool exercisePossible_ = false;
    bool composedByEditor_ = false;
    bool ended_ = false;
    bool activating_ = false;
};

} // namespace lexaro
