#include "editing/QtTableCanvas.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "controls/T_SpinBox.h"
#include "data/TextSteps.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QValidator>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace lexaro {

TQtTableCanvas::TQtTableCanvas(QPainter& painter, const QWidget& widget)
    : painter_(painter), widget_(widget), brush_(Color(TCanvasColor::Window)),
      font_(Color(TCanvasColor::WindowText)) {}

QColor TQtTableCanvas::Color(TCanvasColor color) const {
    const QPalette& p = widget_.palette();
    switch (color) {
    case TCanvasColor::Window:
        return p.color(QPalette::Base);
    case TCanvasColor::WindowText:
        return p.color(QPalette::Text);
    case TCanvasColor::Highlight:
        return p.color(QPalette::Highlight);
    case TCanvasColor::HighlightText:
        return p.color(QPalette::HighlightedText);
    case TCanvasColor::Header:
        return p.color(QPalette::Button);
    case TCanvasColor::HeaderText:
        return p.color(QPalette::ButtonText);
    case TCanvasColor::GridLine:
        return p.color(QPalette::Mid);
    }
    return p.color(QPalette::Base);
}

void TQtTableCanvas::SetBrushColor(TCanvasColor color) {
    brush_ = Color(color);
}

void TQtTableCanvas::SetFontColor(TCanvasColor color) {
    font_ = Color(color);
}

void TQtTableCanvas::FillRect(const TRect& rect) {
    painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), brush_);
}

int TQtTableCanvas::TextWidth(std::string_view text) {
    return painter_.fontMetrics().horizontalAdvance(QtFromUtf8(text));
}

int TQtTableCanvas::TextHeight(std::string_view) {
    return painter_.fontMetrics().height();
}

void TQtTableCanvas::TextOut(int x, int y, std::string_view text, const TRect& clip) {
    painter_.save();
    painter_.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    painter_.setPen(font_);
    // A text runs in its own direction, whatever the window's: the ellipsis of a cut Arabic
    // phrase stands at its left end.
    const QString shown = QtFromUtf8(text);
    painter_.setLayoutDirection(shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), shown);
    painter_.restore();
}

void TQtTableCanvas::DrawCheckBox(const TRect& box, bool checked) {
    QStyleOptionButton option;
    option.initFrom(&widget_);
    option.rect = QRect(box.left, box.top, box.Width(), box.Height());
    option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    option.state &= ~QStyle::State_HasFocus;
    option.features = QStyleOptionButton::Flat;
    widget_.style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter_, &widget_);
}

void TQtTableCanvas::DrawFocusRect(const TRect& rect) {
    painter_.save();
    QPen pen(Color(TCanvasColor::WindowText));
    pen.setStyle(Qt::DotLine);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    painter_.restore();
}

TQtCellEditor::TQtCellEditor(QWidget* control) : control_(control) {
    control_->hide();
}

TQtCellEditor::~TQtCellEditor() {
    // A control that no grid adopted is the editor's own.
    if (control_ && control_->parent() == nullptr)
        delete control_.data();
}

bool TQtCellEditor::IsVisible() const {
    return control_ && control_->isVisible();
}

void TQtCellEditor::Show() {
    if (!control_)
        return;
    control_->show();
    control_->raise();
}

void TQtCellEditor::Hide() {
    if (control_)
        control_->hide();
}

void TQtCellEditor::SetBounds(int left, int top, int width) {
    if (control_)
        control_->setGeometry(left, top, width, control_->height());
}

int TQtCellEditor::Left() const {
    return control_ ? control_->x() : 0;
}

int TQtCellEditor::Top() const {
    return control_ ? control_->y() : 0;
}

int TQtCellEditor::Width() const {
    return control_ ? control_->width() : 0;
}

int TQtCellEditor::Height() const {
    return control_ ? control_->height() : 0;
}

void TQtCellEditor::SetFocus() {
    if (control_)
        control_->setFocus(Qt::OtherFocusReason);
}

void TQtCellEditor::SetHint(const std::string& hint) {
    if (control_)
        control_->setToolTip(QtFromUtf8(hint));
}

namespace {

// Refuses an edit that makes the text longer than the limit in characters as seen.
class TCharacterLimit final : public QValidator {
public:
    TCharacterLimit(std::shared_ptr<int> limit, QObject* parent)
        : QValidator(parent), limit_(std::move(limit)) {}
    State validate(QString& input, int&) const override {
        const QByteArray utf8 = input.toUtf8();
        const std::size_t count =
            Utf8CharacterStarts(
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))
                .size();
        return count <= static_cast<std::size_t>(*limit_) ? Acceptable : Invalid;
    }

private:
    std::shared_ptr<int> limit_;
};

// The most UTF-16 units one seen character is let take in the field.
constexpr int kUnitsPerCharacter = 8;

} // namespace

TQtTextField::TQtTextField(int width, int height, int maxLength)
    : TQtCellEditor(new QLineEdit), maxLength_(maxLength) {
    QLineEdit* field = Field();
    *limit_ = maxLength;
    field->setMaxLength(maxLength * kUnitsPerCharacter);
    field->setValidator(new TCharacterLimit(limit_, field));
    field->setFrame(false);
    field->resize(width, height);
    AlignAsWritten(*field);
}

QLineEdit* TQtTextField::Field() const {
    return static_cast<QLineEdit*>(control_.data());
}

void TQtTextField::SetText(std::string_view utf8) {
    if (!control_)
        return;
    // New text is limited; a longer phrase from the file is shown whole, never cut.
    const QString shown = QtFromUtf8(utf8);
    *limit_ = std::max(maxLength_, static_cast<int>(Utf8CharacterStarts(utf8).size()));
    Field()->setMaxLength(
        std::max(maxLength_ * kUnitsPerCharacter, static_cast<int>(shown.size())));
    Field()->setText(shown);
}

std::string TQtTextField::EnteredText() const {
    return control_ ? Field()->text().toStdString() : std::string();
}

void TQtTextField::PlaceCursor(std::size_t utf8Offset) {
    if (!control_)
        return;
    const QByteArray typed = Field()->text().toUtf8();
    const auto bytes = static_cast<qsizetype>(
        std::min<std::size_t>(utf8Offset, static_cast<std::size_t>(typed.size())));
    Field()->deselect();
    Field()->setCursorPosition(static_cast<int>(QString::fromUtf8(typed.left(bytes)).size()));
}

namespace {

// The controls' spin box without its wheel: a turn of the wheel over the open editor scrolls
// the table (which takes the number in) instead of moving the entry to another lesson.
class TCellSpinBox final : public TSpinBox {
public:
    using TSpinBox::TSpinBox;

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

} // namespace

TQtSpinBox::TQtSpinBox(int width, int height) : TQtCellEditor(new TCellSpinBox) {
    TSpinBox* box = Box();
    box->setFrame(false);
    box->setAlignment(Qt::AlignCenter);
    // Only the buttons and the Up and Down keys change the number; Page Up and Page Down
    // pass on to the table.
    box->SetEditorEnabled(false);
    box->resize(width, height);
}

TSpinBox* TQtSpinBox::Box() const {
    return static_cast<TSpinBox*>(control_.data());
}

void TQtSpinBox::SetValue(std::int32_t value) {
    if (control_)
        Box()->setValue(value);
}

std::int32_t TQtSpinBox::Value() const {
    return control_ ? Box()->value() : 0;
}

void TQtSpinBox::SetRange(std::int32_t low, std::int32_t high) {
    if (control_)
        Box()->SetWrapRange(low, high);
}

std::unique_ptr<ITableEditor> TQtEditorFactory::CreateTextField(int width, int height,
                                                                int maxLength) {
    return std::make_unique<TQtTextField>(width, height, maxLength);
}

std::unique_ptr<ITableEditor> TQtEditorFactory::CreateSpinBox(int width, int height) {
    return std::make_unique<TQtSpinBox>(width, height);
}

} // namespace lexaro
