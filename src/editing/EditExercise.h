#pragma once

#include "app/ChildWindows.h"
#include "app/WindowContext.h"
#include "editing/EditExerciseLogic.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace lexaro {

// The exercise editor: the learner chooses, makes, saves and deletes language files, makes,
// edits and deletes lessons (through the lesson editor), ticks the lessons of the exercise and
// sets the maximum number of phrase pairs. Its decisions live in TEditExerciseLogic; the
// window hands the learner's actions over and shows what the logic holds. Results: kIdOk
// after OK (the settings hold the choices), kIdCancel after Close.
class TEditExerciseDlg : public QDialog, public IExerciseEditor, private IEditExerciseView {
    Q_OBJECT
public:
    TEditExerciseDlg(const TWindowContext& context, QWidget* owner = nullptr);
    ~TEditExerciseDlg() override;

    // IExerciseEditor
    int exec() override;
    TChangeKind GetChangeKind() const override { return logic_->GetChangeKind(); }
    std::optional<TPairRenumbering> ExerciseFileRenumbering() const override {
        return logic_->ExerciseFileRenumbering();
    }

    TEditExerciseLogic& Logic() const { return *logic_; }
    // The file dialog while one is open (tests drive it), otherwise none.
    QFileDialog* FileDialog() const { return fileDialog_; }
    // Close, the title bar's close box and Escape: with unsaved changes or choices the learner
    // is asked to save (as OK does), discard or go back.
    void reject() override;

    void btnCloseClick();
    void btnSaveClick();
    void btnOpenLangFileClick();
    void btnNewLangFileClick();
    void btnSaveLangFileClick();
    void btnSaveLangfileAsClick();
    void btnEditLessonClick();
    void btnNewLessonClick();
    void btnDeleteLessonClick();
    void btnHelpClick();

    // Controls, named as the program's help and tests know them.
    QFrame* buttonBar = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnOpenLangFile = nullptr;
    QPushButton* btnNewLangFile = nullptr;
    QPushButton* btnSaveLangFile = nullptr;
    QPushButton* btnSaveLangfileAs = nullptr;
    QPushButton* btnEditLesson = nullptr;
    QPushButton* btnNewLesson = nullptr;
    QPushButton* btnDeleteLesson = nullptr;
    QPushButton* btnHelp = nullptr;
    QGroupBox* exerciseBox = nullptr;
    QGroupBox* availableLessonBox = nullptr;
    QListWidget* lessonList = nullptr;
    QGroupBox* fileNameBox = nullptr;
    QLabel* labelFile = nullptr;
    QLineEdit* editFileName = nullptr;
    QLabel* labelLang1 = nullptr;
    QLabel* labelLang2 = nullptr;
    QLineEdit* editLang1 = nullptr;
    QLineEdit* editLang2 = nullptr;
    QGroupBox* wordBox = nullptr;
    QLabel* labelMaxWords = nullptr;
    QLineEdit* editMaxWords = nullptr;
    QWidget* upDownMaxWords = nullptr;
    QToolButton* upMaxWords = nullptr;
    QToolButton* downMaxWords = nullptr;
    QLabel* labelTotalWords = nullptr;
    QLabel* labelValueTotalWords = nullptr;
    QGroupBox* lessonBox = nullptr;
    QLabel* labelNbrWords = nullptr;
    QLabel* labelValueNbrWords = nullptr;
    QLabel* labelUsedWords = nullptr;
    QLabel* labelValueUsedWords = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void applyTexts();
    // After every command: the list, the fields, the counters, the buttons and the focus
    // follow the logic.
    void refresh();
    void rebuildList();
    void syncListMarks();
    void listChanged();
    void fieldLeft(QLineEdit* field);
    void stepMaxWords(int delta);

    // IEditExerciseView
    std::optional<std::filesystem::path>
    ChooseFileToOpen(const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path>
    ChooseFileToSave(const std::filesystem::path& folder,
                     const std::filesystem::path& fileName) override;
    TLessonEditOutcome EditLessons(const TEditLessonInput& input) override;
    void Inform(const std::string& caption, const std::string& text, bool beep) override;
    TSaveAnswer AskToSave(const std::string& caption, const std::string& text) override;
    TSaveAnswer AskSaveDiscardCancel(const std::string& caption, const std::string& text) override;
    void Beep() override;

    TWindowContext context_;
    std::unique_ptr<TEditExerciseLogic> logic_;
    QFileDialog* fileDialog_ = nullptr;
    std::uint64_t listShown_ = 0;
    std::uint64_t fieldsShown_ = 0;
    bool syncing_ = false;
    bool listClickPending_ = false;
    bool shownOnce_ = false;
};

// The main window's factory for the exercise editor.
std::unique_ptr<IExerciseEditor> MakeExerciseEditor(const TWindowContext& context, QWidget* owner);

} // namespace lexaro
