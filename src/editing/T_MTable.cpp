#include "editing/T_MTable.h"

#include "app/QtText.h"
#include "editing/EditLessonLogic.h"
#include "editing/QtTableCanvas.h"
#include "editing/T_MTableModel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace lexaro {

namespace {

constexpr int kHintMs = 5000;

TGridKey GridKeyOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Up:
        return TGridKey::Up;
    case Qt::Key_Down:
        return TGridKey::Down;
    case Qt::Key_PageUp:
        return TGridKey::PageUp;
    case Qt::Key_PageDown:
        return TGridKey::PageDown;
    case Qt::Key_Home:
        return TGridKey::Home;
    case Qt::Key_End:
        return TGridKey::End;
    case Qt::Key_Left:
        return TGridKey::Left;
    case Qt::Key_Right:
        return TGridKey::Right;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TGridKey::Enter;
    case Qt::Key_F2:
        return TGridKey::F2;
    case Qt::Key_Space:
        return TGridKey::Space;
    case Qt::Key_Escape:
        return TGridKey::Escape;
    case Qt::Key_Delete:
        return TGridKey::Delete;
    default:
        return TGridKey::Other;
    }
}

} // namespace

TMBaseTable::TMBaseTable(QWidget* owner, TMAbstractTableModel* model, int width, int height,
                         int left, int top)
    : QAbstractScrollArea(owner), model_(model) {
    setObjectName("lessonGrid");
    setGeometry(left, top, width, height);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTipDuration(kHintMs);
    layout_.Reset(*model_);
    for (int c = 0; c < layout_.ColCount(); ++c) {
        auto* editor = dynamic_cast<TQtCellEditor*>(model_->ColumnEditor(c));
        if (editor == nullptr || editor->Control() == nullptr)
            continue;
        QWidget* control = editor->Control();
        control->setObjectName(QStringLiteral("cellEditor%1").arg(c));
        control->setParent(viewport());
        control->hide();
        control->installEventFilter(this);
        for (QLineEdit* inner : control->findChildren<QLineEdit*>())
            inner->installEventFilter(this);
    }
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { scrolled(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { scrolled(); });
    updateScrollBars();
}

void TMBaseTable::updateScrollBars() {
    updatingScrollBars_ = true;
    layout_.SetClientSize(viewport()->width(), viewport()->height());
    verticalScrollBar()->setRange(1, layout_.MaxTopRow());
    verticalScrollBar()->setPageStep(layout_.PageRows());
    verticalScrollBar()->setValue(layout_.TopRow());
    horizontalScrollBar()->setRange(0, layout_.MaxLeftOffset());
    horizontalScrollBar()->setPageStep(std::max(1, layout_.ClientWidth()));
    horizontalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setValue(layout_.LeftOffset());
    updatingScrollBars_ = false;
}

void TMBaseTable::scrolled() {
    if (updatingScrollBars_)
        return;
    // An open editor is taken into its cell and closed before anything moves. When its text
    // is refused it stays open, and so does the table stay where it is.
    model_->HideEditors();
    if (editorOpen()) {
        updatingScrollBars_ = true;
        verticalScrollBar()->setValue(layout_.TopRow());
        horizontalScrollBar()->setValue(layout_.LeftOffset());
        updatingScrollBars_ = false;
        return;
    }
    layout_.SetTopRow(verticalScrollBar()->value());
    layout_.SetLeftOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void TMBaseTable::ApplyTexts(const TTextSource& texts) {
    model_->ApplyTexts(texts);
    viewport()->update();
}

void TMBaseTable::SetColumnWidth(int width, int col) {
    if (col < 0 || col >= layout_.ColCount() || width <= 0)
        return;
    layout_.SetColWidth(col, width);
    model_->SetColumnWidth(width, col);
    updateScrollBars();
    viewport()->update();
}

void TMBaseTable::SetRowHeight(int height, int row) {
    if (row < 0 || row >= layout_.RowCount() || height <= 0)
        return;
    layout_.SetRowHeight(row, height);
    if (row > 0)
        model_->SetRowHeight(height, row);
    updateScrollBars();
    viewport()->update();
}

void TMBaseTable::SyncWithModel() {
    layout_.SetRowCount(*model_);
    updateScrollBars();
    const int marked = model_->MarkedRow();
    if (marked > 0)
        currentRow_ = marked;
    currentRow_ = std::clamp(currentRow_, 1, std::max(1, layout_.RowCount() - 1));
    ScrollToRow(currentRow_);
    viewport()->update();
}

void TMBaseTable::SetHint(const QString& hint) {
    setToolTip(hint);
    viewport()->setToolTip(hint);
}

bool TMBaseTable::CellRect(int col, int row, QRect& rect) const {
    TRect r;
    if (!layout_.CellRect(col, row, r))
        return false;
    rect = QRect(r.left, r.top, r.Width(), r.Height());
    return true;
}

void TMBaseTable::ScrollToRow(int row) {
    const int before = layout_.TopRow();
    layout_.ScrollToRow(row);
    if (layout_.TopRow() != before)
        verticalScrollBar()->setValue(layout_.TopRow());
}

void TMBaseTable::SelectCell(int col, int row) {
    // A data row that shows only in part comes wholly into view first, for the mouse as for
    // the keyboard, so that its editor can open.
    if (row > 0)
        ScrollToRow(row);
    TRect cell;
    if (!layout_.CellRect(col, row, cell))
        return;
    const TRect inner{cell.left, cell.top, cell.right - 1, cell.bottom - 1};
    model_->CellClicked(col, row, layout_.ClientWidth(), layout_.ClientHeight(), inner);
    if (row > 0 && model_->IsCellSelectable(col, row)) {
        currentCol_ = col;
        currentRow_ = row;
    }
    if (row == 0)
        emit sorted();
    viewport()->update();
}

bool TMBaseTable::editorOpen() const {
    for (int c = 0; c < layout_.ColCount(); ++c)
        if (const ITableEditor* editor = model_->ColumnEditor(c); editor && editor->IsVisible())
            return true;
    return false;
}

void TMBaseTable::closeEditor(bool take) {
    if (take)
        model_->HideEditors();
    else
        model_->CancelEditor();
    // Refused text keeps its editor open and the focus there.
    if (!editorOpen())
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void TMBaseTable::tabFromEditor(bool forward) {
    // What was typed is taken first; refused text keeps its editor open and the focus there.
    model_->HideEditors();
    if (editorOpen()) {
        viewport()->update();
        return;
    }
    const TGridKeyDecision d = DecideTabKey(forward, currentCol_, currentRow_, layout_.RowCount());
    if (d.action == TGridAction::Move)
        EditCell(d.col, d.row);
    if (!editorOpen())
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void TMBaseTable::EditCell(int col, int row) {
    if (row < 1 || row >= layout_.RowCount())
        return;
    // The first selection marks the row, the second opens the cell's editor.
    if (model_->MarkedRow() != row)
        SelectCell(col, row);
    if (model_->MarkedRow() == row)
        SelectCell(col, row);
}

void TMBaseTable::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    TQtTableCanvas canvas(painter, *this);
    const bool focused = hasFocus();
    layout_.Paint(canvas, *model_, focused ? currentCol_ : -1, focused ? currentRow_ : -1);
}

void TMBaseTable::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TMBaseTable::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (const int edge = layout_.ColumnEdgeAt(at.x(), at.y()); edge >= 0) {
        dragCol_ = edge;
        dragStartX_ = at.x();
        dragStartWidth_ = layout_.ColWidth(edge);
        return;
    }
    int col = 0;
    int row = 0;
    if (layout_.CellAt(at.x(), at.y(), col, row) && row > 0)
        SelectCell(col, row);
}

void TMBaseTable::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragCol_ >= 0) {
        // The model hears of the new width too: it decides by it whether an editor fits.
        SetColumnWidth(std::max(8, dragStartWidth_ + at.x() - dragStartX_), dragCol_);
        return;
    }
    if (layout_.ColumnEdgeAt(at.x(), at.y()) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void TMBaseTable::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (dragCol_ >= 0) {
        // The end of a width drag is no header click: the table keeps its order.
        dragCol_ = -1;
        return;
    }
    const QPoint at = event->position().toPoint();
    int col = 0;
    int row = 0;
    if (layout_.CellAt(at.x(), at.y(), col, row) && row == 0)
        SelectCell(col, 0);
}

void TMBaseTable::keyPressEvent(QKeyEvent* event) {
    const TGridKeyDecision d =
        DecideGridKey(GridKeyOf(*event), currentCol_, currentRow_, layout_.ColCount(),
                      layout_.RowCount(), layout_.PageRows(), editorOpen());
    switch (d.action) {
    case TGridAction::Move:
        if (d.row != currentRow_) {
            ScrollToRow(d.row);
            SelectCell(d.col, d.row);
        } else {
            currentCol_ = d.col;
            viewport()->update();
        }
        event->accept();
        return;
    case TGridAction::Activate:
        SelectCell(currentCol_, currentRow_);
        event->accept();
        return;
    case TGridAction::Cancel:
        closeEditor(false);
        event->accept();
        return;
    case TGridAction::Delete:
        emit deleteRequested();
        event->accept();
        return;
    case TGridAction::None:
        break;
    }
    const TGridKey key = GridKeyOf(*event);
    if (key == TGridKey::Other || key == TGridKey::Escape)
        event->ignore();
    else
        event->accept();
}

bool TMBaseTable::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            closeEditor(true);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeEditor(false);
            return true;
        }
        // Tab and Shift+Tab belong to the table while a cell is typed in: never to the
        // window's buttons.
        const bool back = key->key() == Qt::Key_Backtab ||
                          (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
        if (key->key() == Qt::Key_Tab || back) {
            tabFromEditor(!back);
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TMBaseTable::contextMenuEvent(QContextMenuEvent* event) {
    if (!menu_)
        return;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        QRect cell;
        if (CellRect(currentCol_, currentRow_, cell))
            at = viewport()->mapToGlobal(cell.bottomLeft());
    }
    menu_->exec(at);
}

TMTable::TMTable(QWidget* owner, int left, int top, int width, int height, bool framed,
                 const TTableMargins& margins, const std::string& caption,
                 TMAbstractTableModel* model)
    : QFrame(owner), geometry_(width, height, margins), caption_(caption) {
    setObjectName("lessonTable");
    move(left, top);
    if (framed)
        setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    const TRect inner = geometry_.GridRect();
    grid_ = new TMBaseTable(this, model, geometry_.InitialGridWidth(),
                            geometry_.InitialGridHeight(), inner.left, inner.top);
    resize(geometry_.Width(), geometry_.Height());
    ArrangeChildren();
}

void TMTable::SetSize(int width, int height) {
    if (!geometry_.SetSize(width, height))
        return;
    resize(width, height);
    ArrangeChildren();
}

void TMTable::ArrangeChildren() {
    const TRect r = geometry_.GridRect();
    grid_->setGeometry(r.left, r.top, r.Width(), r.Height());
}

void TMTable::SetHint(const std::string& hint) {
    if (hint.empty())
        return;
    grid_->SetHint(QtFromUtf8(hint));
}

void TMTable::ApplyTexts(const TTextSource& texts) {
    if (!texts)
        return;
    // Numbers below 0 stand for texts that are set by hand; they are kept.
    if (captionTextId_ >= 0)
        caption_ = texts(captionTextId_);
    if (hintTextId_ >= 0)
        SetHint(texts(hintTextId_));
    grid_->ApplyTexts(texts);
    update();
}

void TMTable::SetColumnWidth(int width, int col) {
    if (col >= 0)
        grid_->SetColumnWidth(width, col);
}

} // namespace lexaro
