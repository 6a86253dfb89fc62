#pragma once

#include "data/Collation.h"
#include "data/Lesson.h"
#include "data/T_MWordPairData.h"
#include "data/Vector.h"
#include "editing/PairOrigins.h"
#include "editing/T_MTableModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lexaro {

// An edit that a language file could not store, refused when it was committed. The cell
// kept its previous value.
struct TTextRefusal {
    int col = 0;
    int row = 0;
    // The refused character, named as NameCharacter names it.
    std::string character;
    // The title of the column: the language of the phrase.
    std::string language;
    // Where the refused character starts in the entered text (UTF-8 bytes).
    std::size_t offset = 0;
    // The code page that lacks the character; 0 when the code page holds it but a language
    // file keeps it for itself ("#", "@" in the first language, line breaks).
    int codePage = 0;
};

// How a refused character is named (UTF-8): a visible one as itself in quotes ("é", "#", "日"),
// one that shows nothing or looks like another (a control, a space other than the blank, a
// combining mark, a format character, a code that is no character) by its code (U+00A0).
std::string NameCharacter(char32_t cp);

// The UI text that names a code page as the settings offer it ("Cyrillic (1251)"): 176 to
// 181 for 1250, 1251, 1252, 1253, 1254 and 1257; Western European's for any other.
std::int32_t CodePageNameText(int codePage);
// The text that says a character is not in a code page ("%1 is not in %2 ..."), by number.
inline constexpr std::int32_t kTextNotInCodePage = 222;

// Why text entered for a phrase cannot be stored in the code page: the character named as in
// TTextRefusal, or empty when it can (converted into stored). language2 allows "@". at
// receives where the refused character starts in utf8; notInPage whether the code page lacks
// it (else a language file keeps it for itself).
std::string PhraseTextProblem(std::string_view utf8, bool language2, const TCodePage& page,
                              std::string& stored, std::size_t* at = nullptr,
                              bool* notInPage = nullptr);

// The word pairs of one or more lessons as table rows: use, phrase 1, phrase 2, lesson, and
// the drawn mark in a hidden fifth column. Rows are handed back as rWordPairData.
class TMEditLessonTableModel : public TMAbstractTableModel {
public:
    static constexpr int kUseCol = 0;
    static constexpr int kText1Col = 1;
    static constexpr int kText2Col = 2;
    static constexpr int kLessonCol = 3;
    static constexpr int kDrawnCol = 4;
    static constexpr int kRowHeight = 23;
    static constexpr int kEditorHeight = 21;
    static constexpr int kTextMaxLength = 50;
    // The spin box wraps in 1..100, widened to take in a lesson number outside it.
    static constexpr std::int32_t kSpinLow = 1;
    static constexpr std::int32_t kSpinHigh = 100;

    // Column titles: use, language 1, language 2, lesson. Without a factory the columns have
    // no editors (tests, benchmarks). Missing lessons in the vector are skipped. origins gives
    // the rows of the pairs their origin (none: no row has one).
    // titles: UTF-8; the phrases are stored text of page, which shows them, takes what is
    // typed and sorts them.
    TMEditLessonTableModel(const std::array<std::string, 4>& titles,
                           const TVector<TLesson>& lessons, ITableEditorFactory* editors = nullptr,
                           const TPairOrigins* origins = nullptr,
                           const TCodePage& page = TCodePage::Western());

    // Inserts a row made from data at position (1 is the top); at or beyond the end it is
    // appended. False (nothing inserted) while the open editor holds refused text.
    bool InsertRow(const rWordPairData& data, int position);
    // Removes the row; the rows below move up. False (nothing removed) for a row that does not
    // exist and while the open editor holds refused text.
    bool DeleteRow(int row);
    // The row as a record (drawn always false, id 0; its origin); an empty record for any
    // other row.
    rWordPairData RowData(int row) const;
    // Writes the values (use, phrases, lesson); the row keeps its origin, which moves only with
    // the row itself.
    void SetRowData(int row, const rWordPairData& data, bool silent);
    // True when some row has that origin.
    bool HasOrigin(const TPairKey& origin) const;
    // Exchanges the contents of two rows (written as edits), their numbers and origins.
    void SwapRows(int a, int b);

    void DrawCell(ITableCanvas& canvas, const TRect& rect, int col, int row) override;
    void CommitEditor(int col, int row) override;
    // Takes the open editor's value into its cell and hides it. Text that a language file
    // cannot store is refused (told to the refusal handler): the editor then stays open with
    // the text as typed, the cursor at the refused character.
    void HideEditors() override;
    // HideEditors; false when the editor stayed open with refused text. Whatever would move
    // rows or the mark waits for that text to be changed or dropped.
    bool TakeOpenEditor();
    void CellClicked(int col, int row, int clientWidth, int clientHeight,
                     const TRect& rect) override;
    // Sorts by use (0: ticked first), phrase 1 or 2 (1, 2: ignoring case, in the column's
    // alphabetical order, see SetCollation) or lesson number (3), keeping equal rows in their
    // order. The rows whose values a step-by-step exchange of neighbours would have changed
    // are marked as changed.
    void Sort(int key) override;
    // The alphabetical order that phrase 1 or 2 (col 1, 2) sorts in: its language's. Without
    // one (nullptr) the column sorts in the code page's order.
    void SetCollation(int col, std::shared_ptr<const TCollation> collation);
    // Also true once a row was inserted or removed since the table was filled.
    bool IsModified() const override;

    int EditCol() const { return editCol_; }
    int EditRow() const { return editRow_; }
    // Hides the open editor without taking what it holds (Escape).
    void CancelEditor() override;
    // Told about every refused edit.
    void SetRefusalHandler(std::function<void(const TTextRefusal&)> handler) {
        onRefused_ = std::move(handler);
    }

private:
    const TCodePage* page_;
    std::array<std::shared_ptr<const TCollation>, 2> collations_;
    TMBolTableCell& BoolCell(int col, int row) const;
    TMStrTableCell& StrCell(int col, int row) const;
    TMIntTableCell& IntCell(int col, int row) const;
    void MarkCellChanged(int col, int row);
    std::unique_ptr<TMTableRow> MakeRow(const rWordPairData& data, bool drawn) const;
    std::optional<TPairKey>& OriginOf(int row) const;
    void OpenEditor(int col, int row, int clientWidth, int clientHeight, const TRect& rect);
    // Writes the editor's value into the cell; false (told) when its text was refused.
    bool Take(int col, int row, std::size_t* refusedAt);

    std::unique_ptr<ITableEditor> text1Editor_;
    std::unique_ptr<ITableEditor> text2Editor_;
    std::unique_ptr<ITableEditor> spinEditor_;
    int editCol_ = -1;
    int editRow_ = -1;
    bool filled_ = false;
    bool rowsInsertedOrRemoved_ = false;
    std::function<void(const TTextRefusal&)> onRefused_;
};

} // namespace lexaro
