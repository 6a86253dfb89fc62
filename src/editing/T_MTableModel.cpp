#include "editing/T_MTableModel.h"

#include "data/TextSteps.h"

#include <vector>

namespace lexaro {

namespace {

constexpr int kCheckBoxSize = 14;
constexpr const char* kEllipsis = "\xE2\x80\xA6";

} // namespace

TTextPlacement PlaceText(const TRect& rect, int textWidth, int textHeight) {
    TTextPlacement at;
    if (textWidth <= rect.Width() - 4)
        at.x = rect.left + (rect.Width() - textWidth) / 2;
    else
        at.x = rect.left + 2;
    at.y = rect.top + (rect.Height() - textHeight) / 2;
    return at;
}

std::string FitText(ITableCanvas& canvas, const std::string& text, int width) {
    if (canvas.TextWidth(text) <= width)
        return text;
    // Where the characters a learner sees end (a letter with its marks): a start is only ever
    // cut after one, never between a letter and its mark.
    std::vector<std::size_t> ends;
    const std::vector<std::size_t> starts = Utf8CharacterStarts(text);
    for (std::size_t i = 1; i <= starts.size(); ++i)
        ends.push_back(i < starts.size() ? starts[i] : text.size());
    // The widths of a text's starts grow with their length: the longest that fits is found
    // by halving, with a handful of measurements even for long phrases.
    std::size_t low = 0; // characters kept
    std::size_t high = ends.size();
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (canvas.TextWidth(text.substr(0, ends[mid - 1]) + kEllipsis) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low == 0 && canvas.TextWidth(kEllipsis) > width)
        return {};
    return text.substr(0, low == 0 ? 0 : ends[low - 1]) + kEllipsis;
}

void DrawCellText(ITableCanvas& canvas, const TRect& rect, const std::string& text) {
    if (text.empty())
        return;
    const int width = canvas.TextWidth(text);
    const TTextPlacement at = PlaceText(rect, width, canvas.TextHeight(text));
    if (width <= rect.Width() - 4) {
        canvas.TextOut(at.x, at.y, text, rect);
        return;
    }
    // A text too long for its cell keeps its start: at the left, or at the right for a text
    // that runs right to left (its ellipsis then stands at the left).
    const std::string fitted = FitText(canvas, text, rect.Width() - 4);
    const int x = RunsRightToLeft(text) ? rect.right - 2 - canvas.TextWidth(fitted) : at.x;
    canvas.TextOut(x, at.y, fitted, rect);
}

void TMTableColumn::DrawHeader(ITableCanvas& canvas, const TRect& rect) const {
    DrawCellText(canvas, rect, title_);
}

void TMTableColumn::ApplyTexts(const TTextSource& texts) {
    if (!texts || titleTextId_ < 0)
        return;
    title_ = texts(titleTextId_);
    if (editor_ != nullptr && editor_->HintsOn() && hintTextId_ >= 0)
        editor_->SetHint(texts(hintTextId_));
}

void TMTableColumn::HideEditor() {
    if (editor_ != nullptr)
        editor_->Hide();
}

void TMTableColumn::SetWidth(int width) {
    if (width > 0)
        width_ = width;
}

void TMTableCell::Draw(ITableCanvas& canvas, const TRect& rect, bool highlighted) const {
    TRect r = rect;
    if (highlighted) {
        ++r.left;
        ++r.top;
        canvas.SetBrushColor(TCanvasColor::Highlight);
        canvas.FillRect(r);
        canvas.SetFontColor(TCanvasColor::HighlightText);
        r = rect;
    }
    DrawCellText(canvas, r, text_);
}

void TMBolTableCell::Draw(ITableCanvas& canvas, const TRect& rect, bool highlighted) const {
    TRect r = rect;
    if (highlighted) {
        ++r.left;
        ++r.top;
        canvas.SetBrushColor(TCanvasColor::Highlight);
        canvas.FillRect(r);
    }
    const int left = r.left + (r.Width() - kCheckBoxSize) / 2;
    const int top = r.top + (r.Height() - kCheckBoxSize) / 2;
    canvas.DrawCheckBox(TRect{left, top, left + kCheckBoxSize, top + kCheckBoxSize}, value_);
}

void TMTableRow::AddCell(std::unique_ptr<TMTableCell> cell) {
    if (cell)
        cells_.push_back(std::move(cell));
}

TMTableCell* TMTableRow::CellAt(int index) const {
    if (index < 0 || index >= CellCount())
        return nullptr;
    return cells_[static_cast<std::size_t>(index)].get();
}

void TMTableRow::SetNumber(std::int32_t number) {
    if (number >= 0)
        number_ = number;
}

TMAbstractTableModel::TMAbstractTableModel() {
    // The header entry: no cells, it only keeps data rows at the grid's row numbers.
    rows_.push_back(std::make_unique<TMTableRow>(0, 0));
}

void TMAbstractTableModel::ApplyTexts(const TTextSource& texts) {
    if (!texts)
        return;
    const int visible = VisibleColumnCount();
    for (int c = 0; c < visible && c < ColumnCount(); ++c)
        columns_[static_cast<std::size_t>(c)]->ApplyTexts(texts);
}

void TMAbstractTableModel::HideEditors() {
    const int visible = VisibleColumnCount();
    for (int c = 0; c < visible && c < ColumnCount(); ++c)
        columns_[static_cast<std::size_t>(c)]->HideEditor();
}

void TMAbstractTableModel::SetColumnWidth(int width, int col) {
    if (TMTableColumn* column = ColumnAt(col))
        column->SetWidth(width);
}

void TMAbstractTableModel::SetRowHeight(int height, int row) {
    if (TMTableRow* r = RowAt(row))
        r->SetHeight(height);
}

int TMAbstractTableModel::RowCount() const {
    return static_cast<int>(rows_.size());
}

int TMAbstractTableModel::VisibleColumnCount() const {
    const TMTableRow* first = RowAt(1);
    if (first == nullptr)
        return 0;
    int count = 0;
    for (int c = 0; c < ColumnCount(); ++c) {
        const TMTableCell* cell = first->CellAt(c);
        if (cell != nullptr && cell->IsVisible())
            ++count;
    }
    return count;
}

bool TMAbstractTableModel::IsCellSelectable(int col, int row) const {
    const TMTableCell* cell = CellAt(col, row);
    return cell != nullptr && cell->IsSelectable();
}

bool TMAbstractTableModel::IsCellVisible(int col, int row) const {
    const TMTableCell* cell = CellAt(col, row);
    return cell != nullptr && cell->IsVisible();
}

ITableEditor* TMAbstractTableModel::ColumnEditor(int col) const {
    const TMTableColumn* column = ColumnAt(col);
    return column != nullptr ? column->GetEditor() : nullptr;
}

bool TMAbstractTableModel::IsModified() const {
    const int visible = VisibleColumnCount();
    for (const auto& row : rows_)
        for (int c = 0; c < visible; ++c)
            if (const TMTableCell* cell = row->CellAt(c); cell != nullptr && cell->IsChanged())
                return true;
    return false;
}

int TMAbstractTableModel::ColumnWidth(int col) const {
    const TMTableColumn* column = ColumnAt(col);
    return column != nullptr ? column->GetWidth() : 0;
}

int TMAbstractTableModel::RowHeight(int row) const {
    if (row <= 0)
        return 0;
    const TMTableRow* r = RowAt(row);
    return r != nullptr ? r->GetHeight() : 0;
}

TMTableColumn* TMAbstractTableModel::ColumnAt(int col) const {
    if (col < 0 || col >= ColumnCount())
        return nullptr;
    return columns_[static_cast<std::size_t>(col)].get();
}

TMTableRow* TMAbstractTableModel::RowAt(int row) const {
    if (row < 0 || row >= RowCount())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)].get();
}

TMTableCell* TMAbstractTableModel::CellAt(int col, int row) const {
    const TMTableRow* r = RowAt(row);
    return r != nullptr ? r->CellAt(col) : nullptr;
}

int TMAbstractTableModel::MarkedRow() const {
    for (int row = RowCount() - 1; row > 0; --row)
        if (rows_[static_cast<std::size_t>(row)]->IsMarked())
            return row;
    return 0;
}

void TMAbstractTableModel::MarkRow(int row) {
    if (row <= 0 || row >= RowCount())
        return;
    const int marked = MarkedRow();
    if (marked == row)
        return;
    if (marked > 0)
        rows_[static_cast<std::size_t>(marked)]->SetMarked(false);
    rows_[static_cast<std::size_t>(row)]->SetMarked(true);
}

} // namespace lexaro
