#pragma once

#include "data/Lesson.h"
#include "data/T_MWordPairData.h"
#include "data/Vector.h"
#include "editing/PairOrigins.h"
#include "editing/T_EditLessonTableModel.h"
#include "editing/TableCanvas.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lexaro {

// What the lesson editor edits: the lessons (rebuilt in place on save), the names of the two
// languages and the entry clipboard, which outlives the editor.
struct TEditLessonInput {
    std::string lang1Name;
    std::string lang2Name;
    std::shared_ptr<TVector<TLesson>> lessons;
    std::shared_ptr<TMWordPairData> clipboard;
    // The lessons of the language file open in the exercise editor, as edited so far: where
    // doubles are sought. Those with the numbers of the lessons given stand in the table.
    std::vector<std::shared_ptr<const TLesson>> fileLessons;
    // Where the given pairs came from; the save records the rebuilt pairs' origins here.
    std::shared_ptr<TPairOrigins> origins;
    // The code page of the names and phrases (the settings'); none: Windows-1252.
    const TCodePage* codePage = nullptr;
};

// The editor's results: saved (the lessons hold the rebuilt ones when IsModified) or closed.
inline constexpr int kEditLessonSaved = 100;
inline constexpr int kEditLessonClosed = 101;

// The texts the editor shows, by number.
inline constexpr std::int32_t kTextEditLessonCaption = 132;
inline constexpr std::int32_t kTextSaveChanges = 95;
inline constexpr std::int32_t kTextEntriesUnsaved = 160;
inline constexpr std::int32_t kTextAnswerSave = 162;
inline constexpr std::int32_t kTextAnswerDiscard = 163;
inline constexpr std::int32_t kTextAnswerCancel = 164;
inline constexpr std::int32_t kTextOneSidedEntries = 169;
inline constexpr std::int32_t kTextFillOrLeaveOut = 170;
inline constexpr std::int32_t kTextGoBack = 171;
inline constexpr std::int32_t kTextSaveWithout = 172;
inline constexpr std::int32_t kTextMoreEntries = 173;
// The Close button's hint in both editors.
inline constexpr std::int32_t kTextEditorClose = 159;
inline constexpr std::int32_t kTextPhraseRefused = 152;
inline constexpr std::int32_t kTextLessonTooLarge = 153;

// Column widths for a grid of that client width: 11, 39, 39 and the rest of each hundredth
// of the width less 6 pixels for the lines (606 gives 66, 234, 234, 66).
std::array<int, 4> LessonColumnWidths(int clientWidth);

// How a save ended: the lessons are rebuilt (or there was nothing to rebuild); the open cell
// editor's text was refused or a lesson would be too large (told; nothing changed); entries
// with a phrase on one side only would be left out (nothing changed: ask, then save again
// without them or go back to them).
enum class TLessonSave { Saved, Refused, Incomplete };

// Which commands of the editor are on.
struct TEditLessonButtons {
    bool save = false;
    bool deleteEntry = false;
    bool cut = false;
    bool paste = false;
};

// The keys the grid answers, and what a key does there.
enum class TGridKey {
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Enter,
    F2,
    Space,
    Escape,
    Delete,
    Other
};
enum class TGridAction {
    None,     // the key is not the grid's (the window may use it)
    Move,     // the current cell moves to (col, row); a new row becomes the marked one
    Activate, // the current cell acts: the editor opens, the use mark toggles
    Cancel,   // the open editor closes without taking what it holds
    Delete,   // the marked entry is removed
};
struct TGridKeyDecision {
    TGridAction action = TGridAction::None;
    int col = 0;
    int row = 0;
};
// The grid's answer to a key on the current cell (col, row), with pageRows rows in view.
// While an editor is open only Escape is the grid's; the editor has the other keys.
TGridKeyDecision DecideGridKey(TGridKey key, int col, int row, int colCount, int rowCount,
                               int pageRows, bool editorOpen);

// Where Tab (forward) or Shift+Tab leads from the cell whose editor is open: through the
// phrase cells, phrase 1 then phrase 2, at the end of a row to the next row's phrase 1, at
// the start of a row to the previous row's phrase 2 (from the lesson number: forward to the
// next row, back to the row's phrase 2). Past the first or the last row: action None (the
// text is taken, the walk ends in the grid); else Move to (col, row) with its editor open.
TGridKeyDecision DecideTabKey(bool forward, int col, int row, int rowCount);

// The lesson editor without its window: the table model, the commands and their button
// states, the search for doubles and the save that rebuilds the lessons.
class TEditLessonLogic {
public:
    // texts gives the UI texts (Windows-1252); editors makes the cell editors (none in tests
    // of the logic alone). Every text the logic hands out is UTF-8: the program's texts, the
    // file's names and phrases (of the input's code page) and what is composed of both.
    TEditLessonLogic(TTextSource texts, TEditLessonInput input,
                     ITableEditorFactory* editors = nullptr);

    TMEditLessonTableModel& Model() { return *model_; }
    const TMEditLessonTableModel& Model() const { return *model_; }
    std::int32_t FirstLessonNo() const { return firstLessonNo_; }
    // A UI text, in UTF-8.
    std::string Text(std::int32_t number) const;
    const TCodePage& Page() const;

    std::string Caption() const { return Text(kTextEditLessonCaption); }
    // " : " and the number of entries.
    std::string CounterText() const;
    // The table's hint: how to mark, edit, sort and search.
    std::string TableHint() const;
    // The captions of the context menu: sort by use, language 1, language 2, lesson; search
    // doubles of language 1, language 2.
    std::array<std::string, 6> MenuCaptions() const;
    TEditLessonButtons Buttons() const;

    void AddEntry();
    void DeleteEntry();
    void Cut();
    // Inserts the clipboard's entry at the marked row; it takes that row's lesson. The first
    // paste of a cut entry moves it; while the table holds it already, a paste is a new pair.
    void Paste();
    // Every entry gets the lesson number of the marked one (a number still in the spin box
    // counts).
    void UpdateId();
    // Every entry gets the use mark of the marked one.
    void SelectAll();
    void SortBy(int key);
    // The message of the search for the marked entry's phrase (language 1 or 2) in the other
    // lessons: those of the exercise editor's file and the table's entries of other lessons,
    // their numbers in ascending order.
    std::string SearchDoubles(int language) const;

    // Commits the open editor and, when anything was changed, rebuilds the lessons: sorted by
    // number, pairs in table order, empty rows and lessons without a complete pair left out.
    // Rows with a phrase on one side only stop the save (Incomplete) unless leaveOut is set.
    TLessonSave Save(bool leaveOut = false);
    // The rows with a phrase on one side only, in table order.
    std::vector<int> IncompleteRows() const;
    // The question about them: each named by its phrase and lesson (ten at most).
    std::string IncompleteText() const;
    // Going back to them: the first one becomes the marked row.
    void MarkFirstIncomplete();
    // Takes the open cell editor's text into its cell; false when it was refused (told; the
    // editor stays open).
    bool CommitOpenEditor();
    // Something was changed since the table was filled (the open editor committed first).
    bool HasUnsavedEdits() const;
    // The question when a way out would drop the changes.
    std::string UnsavedQuestion() const;
    // Drops every edit.
    void Close();
    bool IsModified() const { return modified_; }

    // Told the message of every refused edit and save (in the UI language).
    void SetMessageHandler(std::function<void(const std::string& text)> handler) {
        onMessage_ = std::move(handler);
    }
    std::string RefusalText(const TTextRefusal& refusal) const;

private:
    void Insert(const rWordPairData& data, int position);
    void Report(const std::string& text) const;

    TTextSource texts_;
    TEditLessonInput input_;
    std::unique_ptr<TMEditLessonTableModel> model_;
    std::int32_t firstLessonNo_ = 1;
    bool modified_ = false;
    std::function<void(const std::string&)> onMessage_;
};

} // namespace lexaro
