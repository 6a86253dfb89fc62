#pragma once

#include "app/WindowContext.h"
#include "editing/EditLessonLogic.h"

#include <QDialog>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace lexaro {

class TMTable;
class TQtEditorFactory;

// The lesson editor: the entries of one or more lessons in a table, with commands to add,
// delete, cut, paste, renumber, tick, sort and look for doubles. Its decisions live in
// TEditLessonLogic; the window calls it and shows what it gives. Results: kEditLessonSaved
// (the lessons hold the rebuilt ones when IsModified) and kEditLessonClosed.
class TeditLessonDlg : public QDialog {
    Q_OBJECT
public:
    TeditLessonDlg(const TWindowContext& context, TEditLessonInput input, QWidget* owner);
    ~TeditLessonDlg() override;

    bool IsModified() const { return logic_->IsModified(); }
    TEditLessonLogic& Logic() const { return *logic_; }
    TMTable* Table() const { return table_; }
    // All captions, hints and menu items from the UI texts.
    void ApplyTexts();

    // Close, the close box and Escape: with unsaved changes the learner is asked to save,
    // discard or go back.
    void btnCloseClick();
    void reject() override;
    void btnSafeClick();
    void btnAddEntryClick();
    void btnDeleteEntryClick();
    void btnCutClick();
    void btnPasteClick();
    void btnUpdateIdClick();
    void btnSelectAllClick();
    void btnHelpClick();
    void SortBy(int key);
    void SearchDoubles(int language);

    // Controls, named as the program's help and tests know them.
    QFrame* buttonBar = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnSafe = nullptr;
    QPushButton* btnAddEntry = nullptr;
    QPushButton* btnDeleteEntry = nullptr;
    QPushButton* btnCut = nullptr;
    QPushButton* btnPaste = nullptr;
    QPushButton* btnUpdateId = nullptr;
    QPushButton* btnSelectAll = nullptr;
    QLabel* labelNbrWords = nullptr;
    QLabel* labelEntryValue = nullptr;
    QPushButton* btnHelp = nullptr;
    QMenu* sortMenue = nullptr;
    QAction* sortItem0 = nullptr;
    QAction* sortItem1 = nullptr;
    QAction* sortItem2 = nullptr;
    QAction* sortItem3 = nullptr;
    QAction* searchLang1 = nullptr;
    QAction* searchLang2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    // After every command: the grid follows the model, the counter and the buttons follow.
    void refresh();
    void updateButtons();
    void report(const std::string& text, bool warning);

    TWindowContext context_;
    std::unique_ptr<TQtEditorFactory> editors_;
    std::unique_ptr<TEditLessonLogic> logic_;
    TMTable* table_ = nullptr;
    bool reportPending_ = false;
};

// Makes the lesson editor for the lessons given, owned by owner.
std::unique_ptr<TeditLessonDlg> CreateEditLessonDlg(const TWindowContext& context,
                                                    TEditLessonInput input, QWidget* owner);

} // namespace lexaro
