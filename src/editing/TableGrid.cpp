#include "editing/TableGrid.h"

#include "editing/T_MTableModel.h"

#include <algorithm>

namespace lexaro {

TTablePanelGeometry::TTablePanelGeometry(int width, int height, const TTableMargins& margins) {
    // Negative margins are ignored.
    margins_.top = std::max(0, margins.top);
    margins_.right = std::max(0, margins.right);
    margins_.bottom = std::max(0, margins.bottom);
    margins_.left = std::max(0, margins.left);
    gridWidth0_ = width - margins_.left - margins_.right;
    initialGridHeight_ = height - margins_.top - margins_.bottom;
    height0_ = height;
    width_ = width;
    height_ = height;
    SetSize(MinWidth(), MinHeight());
}

bool TTablePanelGeometry::SetSize(int width, int height) {
    if (width < MinWidth() || height < MinHeight())
        return false;
    width_ = width;
    height_ = height;
    return true;
}

TRect TTablePanelGeometry::GridRect() const {
    return TRect{margins_.left, margins_.top, width_ - margins_.right, height_ - margins_.bottom};
}

void TGridLayout::Reset(const TMAbstractTableModel& model) {
    widths_.assign(static_cast<std::size_t>(model.VisibleColumnCount()), 0);
    for (int c = 0; c < ColCount(); ++c)
        widths_[static_cast<std::size_t>(c)] = model.ColumnWidth(c);
    heights_.clear();
    SetRowCount(model);
}

void TGridLayout::SetRowCount(const TMAbstractTableModel& model) {
    const int rows = std::max(1, model.RowCount());
    heights_.resize(static_cast<std::size_t>(rows));
    heights_[0] = kHeaderHeight;
    for (int r = 1; r < rows; ++r)
        heights_[static_cast<std::size_t>(r)] = model.RowHeight(r);
    SetTopRow(topRow_);
}

int TGridLayout::ColWidth(int col) const {
    return col >= 0 && col < ColCount() ? widths_[static_cast<std::size_t>(col)] : 0;
}

void TGridLayout::SetColWidth(int col, int width) {
    if (col >= 0 && col < ColCount() && width > 0)
        widths_[static_cast<std::size_t>(col)] = width;
    SetLeftOffset(leftOffset_);
}

int TGridLayout::RowHeight(int row) const {
    return row >= 0 && row < RowCount() ? heights_[static_cast<std::size_t>(row)] : 0;
}

void TGridLayout::SetRowHeight(int row, int height) {
    if (row >= 0 && row < RowCount() && height > 0)
        heights_[static_cast<std::size_t>(row)] = height;
}

void TGridLayout::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    SetTopRow(topRow_);
    SetLeftOffset(leftOffset_);
}

int TGridLayout::MaxTopRow() const {
    const int last = RowCount() - 1;
    if (last < 1)
        return 1;
    int room = clientHeight_ - RowHeight(0) - kLine;
    int top = last;
    room -= RowHeight(last) + kLine;
    while (top > 1 && room - (RowHeight(top - 1) + kLine) >= 0) {
        --top;
        room -= RowHeight(top) + kLine;
    }
    return top;
}

void TGridLayout::SetTopRow(int row) {
    topRow_ = std::clamp(row, 1, MaxTopRow());
}

int TGridLayout::PageRows() const {
    int room = clientHeight_ - RowHeight(0) - kLine;
    int rows = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        room -= RowHeight(r) + kLine;
        if (room < 0)
            break;
        ++rows;
    }
    return std::max(1, rows);
}

void TGridLayout::ScrollToRow(int row) {
    if (row < 1 || row >= RowCount())
        return;
    if (row < topRow_) {
        SetTopRow(row);
        return;
    }
    // Down: the smallest top row that still shows row whole.
    int room = clientHeight_ - RowHeight(0) - kLine - (RowHeight(row) + kLine);
    int top = row;
    while (top > topRow_ && room - (RowHeight(top - 1) + kLine) >= 0) {
        --top;
        room -= RowHeight(top) + kLine;
    }
    if (top > topRow_)
        SetTopRow(top);
}

int TGridLayout::TotalWidth() const {
    int total = 0;
    for (const int w : widths_)
        total += w + kLine;
    return total;
}

int TGridLayout::MaxLeftOffset() const {
    return std::max(0, TotalWidth() - clientWidth_);
}

void TGridLayout::SetLeftOffset(int offset) {
    leftOffset_ = std::clamp(offset, 0, MaxLeftOffset());
}

int TGridLayout::ColumnLeft(int col) const {
    int x = -leftOffset_;
    for (int c = 0; c < col && c < ColCount(); ++c)
        x += widths_[static_cast<std::size_t>(c)] + kLine;
    return x;
}

bool TGridLayout::CellRect(int col, int row, TRect& rect) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return false;
    int y = 0;
    if (row > 0) {
        if (row < topRow_)
            return false;
        y = RowHeight(0) + kLine;
        for (int r = topRow_; r < row; ++r) {
            y += RowHeight(r) + kLine;
            if (y >= clientHeight_)
                return false;
        }
        if (y >= clientHeight_)
            return false;
    }
    const int x = ColumnLeft(col);
    rect = TRect{x, y, x + ColWidth(col), y + RowHeight(row)};
    return true;
}

bool TGridLayout::CellAt(int x, int y, int& col, int& row) const {
    if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_)
        return false;
    int found = -1;
    for (int c = 0, left = -leftOffset_; c < ColCount(); ++c) {
        const int right = left + ColWidth(c) + kLine;
        if (x >= left && x < right) {
            found = c;
            break;
        }
        left = right;
    }
    if (found < 0)
        return false;
    col = found;
    int top = 0;
    if (y < RowHeight(0) + kLine) {
        row = 0;
        return true;
    }
    top = RowHeight(0) + kLine;
    for (int r = topRow_; r < RowCount() && top < clientHeight_; ++r) {
        const int bottom = top + RowHeight(r) + kLine;
        if (y >= top && y < bottom) {
            row = r;
            return true;
        }
        top = bottom;
    }
    return false;
}

int TGridLayout::ColumnEdgeAt(int x, int y) const {
    if (y < 0 || y >= RowHeight(0) + kLine)
        return -1;
    for (int c = 0; c < ColCount(); ++c) {
        const int edge = ColumnLeft(c) + ColWidth(c);
        if (x >= edge - 3 && x <= edge + 3)
            return c;
    }
    return -1;
}

void TGridLayout::Paint(ITableCanvas& canvas, TMAbstractTableModel& model, int focusCol,
                        int focusRow) const {
    canvas.SetBrushColor(TCanvasColor::Window);
    canvas.FillRect(TRect{0, 0, clientWidth_, clientHeight_});
    auto paintRow = [&](int row, int top) {
        const int height = RowHeight(row);
        int left = -leftOffset_;
        for (int c = 0; c < ColCount() && left < clientWidth_; ++c) {
            const int width = ColWidth(c);
            const TRect cell{left, top, left + width, top + height};
            if (cell.right + kLine > 0) {
                canvas.SetBrushColor(row == 0 ? TCanvasColor::Header : TCanvasColor::Window);
                canvas.FillRect(cell);
                canvas.SetBrushColor(TCanvasColor::GridLine);
                canvas.FillRect(TRect{cell.right, top, cell.right + kLine, top + height + kLine});
                canvas.FillRect(TRect{left, cell.bottom, cell.right, cell.bottom + kLine});
                canvas.SetFontColor(row == 0 ? TCanvasColor::HeaderText : TCanvasColor::WindowText);
                model.DrawCell(canvas, TRect{cell.left, cell.top, cell.right - 1, cell.bottom - 1},
                               c, row);
                if (c == focusCol && row == focusRow)
                    canvas.DrawFocusRect(cell);
            }
            left += width + kLine;
        }
    };
    paintRow(0, 0);
    int top = RowHeight(0) + kLine;
    for (int r = topRow_; r < RowCount() && top < clientHeight_; ++r) {
        paintRow(r, top);
        top += RowHeight(r) + kLine;
    }
}

} // namespace lexaro
