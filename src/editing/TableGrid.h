#pragma once

#include "editing/TableCanvas.h"

#include <vector>

namespace lexaro {

class TMAbstractTableModel;

// Margins of a panel around its grid. Not the controls' TMarginRecord (7 pixels unless set):
// one program cannot hold two records of one name, and the table's margins start at 0.
struct TTableMargins {
    int top = 0;
    int right = 0;
    int bottom = 0;
    int left = 0;
};

// The framed panel around a grid: the grid stands inside the margins. The panel is created
// with a width and height; the grid keeps that width less the side margins and the full
// height, so the panel grows by the top and bottom margins (549 by 338 with margins of 10:
// a grid of 529 by 338 at 10, 10 in a panel of 549 by 358).
class TTablePanelGeometry {
public:
    TTablePanelGeometry(int width, int height, const TTableMargins& margins);
    // The size of the grid when it is made, before the panel takes its first size.
    int InitialGridWidth() const { return gridWidth0_; }
    int InitialGridHeight() const { return initialGridHeight_; }
    int MinWidth() const { return margins_.left + gridWidth0_ + margins_.right; }
    int MinHeight() const { return margins_.top + height0_ + margins_.bottom; }
    // Takes the size when it is at least the minimum both ways; false (nothing changed)
    // otherwise.
    bool SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The grid inside the margins of the current size.
    TRect GridRect() const;

private:
    TTableMargins margins_;
    int gridWidth0_ = 0;
    int initialGridHeight_ = 0;
    int height0_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// The grid that shows a table model, without its widget: column widths and row heights, the
// rows in view, where each cell lies, and the painting of what is in view. Row 0 is the fixed
// header; the data rows scroll by whole rows, the columns by pixels. Lines of one pixel stand
// after every column and row.
class TGridLayout {
public:
    static constexpr int kHeaderHeight = 24;
    static constexpr int kLine = 1;

    // Columns = the model's visible columns, rows = its row count, widths and heights as the
    // model has them; the header keeps its own height.
    void Reset(const TMAbstractTableModel& model);
    // The row count follows the model's (after inserts and deletes); heights are the model's.
    void SetRowCount(const TMAbstractTableModel& model);

    int ColCount() const { return static_cast<int>(widths_.size()); }
    int RowCount() const { return static_cast<int>(heights_.size()); }
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int RowHeight(int row) const;
    void SetRowHeight(int row, int height);

    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // The first data row in view (1 while there is one).
    int TopRow() const { return topRow_; }
    // Clamped to 1..MaxTopRow.
    void SetTopRow(int row);
    // The top row that shows the last row as the bottom one in view.
    int MaxTopRow() const;
    // Data rows wholly in view from the top row on (at least 1).
    int PageRows() const;
    // Scrolls as little as needed to bring the row wholly into view.
    void ScrollToRow(int row);
    int LeftOffset() const { return leftOffset_; }
    void SetLeftOffset(int offset);
    int MaxLeftOffset() const;
    // Width of all columns with their lines.
    int TotalWidth() const;

    // The cell's rectangle in client coordinates without its lines; false when the row is not
    // in view (above the top row or below the client area).
    bool CellRect(int col, int row, TRect& rect) const;
    // The cell under a client point; false outside the cells.
    bool CellAt(int x, int y, int& col, int& row) const;
    // The column whose right line lies within 3 pixels of x in the header (a width drag
    // starts there), or -1.
    int ColumnEdgeAt(int x, int y) const;

    // Paints the rows in view: backgrounds and lines, then each cell through the model's
    // DrawCell with the cell rectangle less one pixel at its right and bottom; the focus
    // frame around (focusCol, focusRow) when that cell is in view.
    void Paint(ITableCanvas& canvas, TMAbstractTableModel& model, int focusCol, int focusRow) const;

private:
    int ColumnLeft(int col) const;

    std::vector<int> widths_;
    std::vector<int> heights_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int topRow_ = 1;
    int leftOffset_ = 0;
};

} // namespace lexaro
