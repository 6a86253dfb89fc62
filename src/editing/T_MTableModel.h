#pragma once

#include "data/CodePage.h"
#include "editing/TableCanvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lexaro {

// Where text goes in a cell: centred when it fits in the width less 4 pixels, else from 2
// pixels right of the left edge; centred vertically (halving towards zero).
struct TTextPlacement {
    int x = 0;
    int y = 0;
};
TTextPlacement PlaceText(const TRect& rect, int textWidth, int textHeight);
// Draws text placed as above. Text too wide for the cell is cut after the last whole
// character that fits, followed by "\x85" (the ellipsis), so no letter is cut in half.
void DrawCellText(ITableCanvas& canvas, const TRect& rect, const std::string& text);
// The longest start of text that fits in width with the ellipsis after it ("" when not even
// the ellipsis fits); text itself when it fits whole.
std::string FitText(ITableCanvas& canvas, const std::string& text, int width);

// A column of a table: its title, width and in-place editor. The editor belongs to the model
// that made it; the column only refers to it.
class TMTableColumn {
public:
    TMTableColumn(std::string title, std::int32_t titleTextId, int width)
        : title_(std::move(title)), titleTextId_(titleTextId), width_(width) {}

    void DrawHeader(ITableCanvas& canvas, const TRect& rect) const;
    void SetEditor(ITableEditor* editor) { editor_ = editor; }
    ITableEditor* GetEditor() const { return editor_; }
    void ApplyTexts(const TTextSource& texts);
    void HideEditor();
    int GetWidth() const { return width_; }
    // Only widths above 0 are taken.
    void SetWidth(int width);
    const std::string& Title() const { return title_; }
    std::int32_t TitleTextId() const { return titleTextId_; }
    std::int32_t HintTextId() const { return hintTextId_; }

private:
    std::string title_;
    std::int32_t titleTextId_ = -1;
    int width_ = 0;
    ITableEditor* editor_ = nullptr;
    std::int32_t hintTextId_ = -1;
};

// A cell: the text it shows and whether its value was changed since it was filled. A change
// mark stays set until the table is made anew, so a later write of the old value (a sort, a
// bulk rewrite) never hides an edit from the save.
class TMTableCell {
public:
    virtual ~TMTableCell() = default;
    virtual void Draw(ITableCanvas& canvas, const TRect& rect, bool highlighted) const;
    virtual bool IsChanged() const = 0;
    virtual void UpdateText() = 0;

    const std::string& Text() const { return text_; }
    bool IsSelectable() const { return selectable_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }

protected:
    std::string text_;

private:
    bool selectable_ = true;
    bool visible_ = true;
};

// The three cells: one typed value each and its change mark.
template <typename V> class TMValueCell : public TMTableCell {
public:
    explicit TMValueCell(V value) : value_(std::move(value)) {}
    // A write that is not silent and differs from the value marks the cell as changed.
    void SetValue(V value, bool silent) {
        if (!silent && !(value == value_))
            changed_ = true;
        value_ = std::move(value);
        UpdateText();
    }
    const V& GetValue() const { return value_; }
    bool IsChanged() const override { return changed_; }
    // Sets the mark without a write: what a sort computes for the cells its moves touch.
    void MarkChanged() { changed_ = true; }

protected:
    V value_;
    bool changed_ = false;
};

class TMBolTableCell : public TMValueCell<bool> {
public:
    explicit TMBolTableCell(bool value) : TMValueCell(value) {}
    void Draw(ITableCanvas& canvas, const TRect& rect, bool highlighted) const override;
    // The check box is all the cell shows; its text stays empty.
    void UpdateText() override {}
};

// Stored text of a code page (Windows-1252 unless given); it shows as the characters it
// stands for.
class TMStrTableCell : public TMValueCell<std::string> {
public:
    explicit TMStrTableCell(std::string value, const TCodePage& page = TCodePage::Western())
        : TMValueCell(std::move(value)), page_(&page) {
        UpdateText();
    }
    void UpdateText() override { text_ = page_->ToUtf8(value_); }

private:
    const TCodePage* page_;
};

class TMIntTableCell : public TMValueCell<std::int32_t> {
public:
    explicit TMIntTableCell(std::int32_t value) : TMValueCell(value) { UpdateText(); }
    void UpdateText() override { text_ = std::to_string(value_); }
};

// A row: its number, its cells in column order (owned), the current-row mark and its height.
class TMTableRow {
public:
    TMTableRow(std::int32_t number, int height) : number_(number), height_(height) {}

    // Appends the cell; a missing cell is ignored.
    void AddCell(std::unique_ptr<TMTableCell> cell);
    TMTableCell* CellAt(int index) const;
    int CellCount() const { return static_cast<int>(cells_.size()); }
    // Negative numbers are ignored.
    void SetNumber(std::int32_t number);
    std::int32_t GetNumber() const { return number_; }
    void SetMarked(bool marked) { marked_ = marked; }
    bool IsMarked() const { return marked_; }
    int GetHeight() const { return height_; }
    void SetHeight(int height) { height_ = height; }

private:
    std::int32_t number_ = 0;
    std::vector<std::unique_ptr<TMTableCell>> cells_;
    bool marked_ = false;
    int height_ = 0;
};

// The content of an editable table apart from the grid that shows it. Row 0 stands for the
// header line, so data rows are numbered from 1 as in the grid. The model owns its columns,
// rows and cells.
class TMAbstractTableModel {
public:
    TMAbstractTableModel();
    virtual ~TMAbstractTableModel() = default;
    TMAbstractTableModel(const TMAbstractTableModel&) = delete;
    TMAbstractTableModel& operator=(const TMAbstractTableModel&) = delete;

    virtual void DrawCell(ITableCanvas& canvas, const TRect& rect, int col, int row) = 0;
    virtual void CommitEditor(int col, int row) = 0;
    // Titles (and editor hints where hints are on) of the visible columns that have text
    // numbers; columns with fixed titles keep them.
    virtual void ApplyTexts(const TTextSource& texts);
    virtual void CellClicked(int col, int row, int clientWidth, int clientHeight,
                             const TRect& rect) = 0;
    virtual void HideEditors();
    // Hides the editors without taking what they hold (Escape).
    virtual void CancelEditor() { TMAbstractTableModel::HideEditors(); }
    virtual void SetColumnWidth(int width, int col);
    virtual void SetRowHeight(int height, int row);
    virtual void Sort(int key) = 0;
    // Rows including the header entry.
    virtual int RowCount() const;
    // The cells of row 1 that exist and are visible; 0 without a row 1.
    virtual int VisibleColumnCount() const;
    virtual bool IsCellSelectable(int col, int row) const;
    virtual bool IsCellVisible(int col, int row) const;
    virtual ITableEditor* ColumnEditor(int col) const;
    virtual bool IsModified() const;
    virtual int ColumnWidth(int col) const;
    // 0 for the header row and below.
    virtual int RowHeight(int row) const;

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TMTableColumn* ColumnAt(int col) const;
    TMTableRow* RowAt(int row) const;
    TMTableCell* CellAt(int col, int row) const;
    // The highest marked row above 0; 0 when none is marked.
    int MarkedRow() const;
    // Marks row (0 < row < RowCount) as the only marked row.
    void MarkRow(int row);

protected:
    std::vector<std::unique_ptr<TMTableColumn>> columns_;
    std::vector<std::unique_ptr<TMTableRow>> rows_;
};

} // namespace lexaro
