#pragma once

#include "editing/TableCanvas.h"
#include "editing/TableGrid.h"

#include <QAbstractScrollArea>
#include <QFrame>
#include <QPointer>

#include <string>

#include <QMenu>

namespace lexaro {

class TMAbstractTableModel;

// A grid that hands every drawing, click and scroll to a table model; it keeps only the
// column widths and row heights (TGridLayout). Row 0 is the fixed header. The model's cell
// editors become the grid's children. The model is not the grid's: its owner keeps it alive
// as long as the grid.
class TMBaseTable : public QAbstractScrollArea {
    Q_OBJECT
public:
    TMBaseTable(QWidget* owner, TMAbstractTableModel* model, int width, int height, int left,
                int top);

    TMAbstractTableModel* GetModel() const { return model_; }
    const TGridLayout& Layout() const { return layout_; }

    void ApplyTexts(const TTextSource& texts);
    // Ignored unless 0 <= col < column count and width > 0.
    void SetColumnWidth(int width, int col);
    // Ignored unless 0 <= row < row count and height > 0; the header's height stays the
    // grid's own.
    void SetRowHeight(int height, int row);
    // The row count follows the model's; the current row follows the model's marked row.
    void SyncWithModel();
    // The context menu opened with the right mouse button or the menu key.
    void SetContextMenu(QMenu* menu) { menu_ = menu; }
    void SetHint(const QString& hint);

    // The keyboard's current cell.
    int CurrentCol() const { return currentCol_; }
    int CurrentRow() const { return currentRow_; }
    // The cell-selection hook: the model hears of the click, the grid is redrawn.
    void SelectCell(int col, int row);
    // The cell's rectangle in viewport coordinates (lines excluded); false when not in view.
    bool CellRect(int col, int row, QRect& rect) const;
    void ScrollToRow(int row);
    // Marks the row and opens the editor of its cell (as two clicks would); nothing opens
    // while the open editor holds refused text or the cell is not wholly in view.
    void EditCell(int col, int row);

signals:
    // Delete on the grid: the window removes the marked entry.
    void deleteRequested();
    // A header click sorted the table.
    void sorted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateScrollBars();
    void scrolled();
    bool editorOpen() const;
    void closeEditor(bool take);
    // Tab (forward) or Shift+Tab in an open editor: its text is taken, the next phrase cell
    // opens.
    void tabFromEditor(bool forward);

    TMAbstractTableModel* model_;
    TGridLayout layout_;
    QPointer<QMenu> menu_;
    int currentCol_ = 0;
    int currentRow_ = 1;
    int dragCol_ = -1;
    int dragStartX_ = 0;
    int dragStartWidth_ = 0;
    bool updatingScrollBars_ = false;
};

// The framed panel that holds one grid inside its margins.
class TMTable : public QFrame {
    Q_OBJECT
public:
    TMTable(QWidget* owner, int left, int top, int width, int height, bool framed,
            const TTableMargins& margins, const std::string& caption, TMAbstractTableModel* model);

    TMBaseTable* GetGrid() const { return grid_; }
    int MinWidth() const { return geometry_.MinWidth(); }
    int MinHeight() const { return geometry_.MinHeight(); }
    // Only at least the minimum both ways; otherwise nothing changes.
    void SetSize(int width, int height);
    void ArrangeChildren();
    // A non-empty hint becomes the grid's; an empty one changes nothing.
    void SetHint(const std::string& hint);
    void ApplyTexts(const TTextSource& texts);
    void SetColumnWidth(int width, int col);
    const std::string& Caption() const { return caption_; }
    void SetCaptionTextId(std::int32_t id) { captionTextId_ = id; }
    void SetHintTextId(std::int32_t id) { hintTextId_ = id; }

private:
    TTablePanelGeometry geometry_;
    TMBaseTable* grid_ = nullptr;
    std::string caption_;
    std::int32_t captionTextId_ = -1;
    std::int32_t hintTextId_ = -1;
};

} // namespace lexaro
