#include "controls/T_UIComponent.h"

#include <QLabel>
#include <QPainter>

namespace lexaro {

TUIComponent::TUIComponent(QWidget* owner, int left, int top) : QWidget(owner) {
    move(left, top);
    captionLabel_ = new QLabel(this);
    captionLabel_->setObjectName("CaptionLabel");
    captionLabel_->setAlignment(Qt::AlignCenter);
    // The caption stands over the frame line, so it hides the line behind its text.
    captionLabel_->setAutoFillBackground(true);
    captionLabel_->hide();
}

void TUIComponent::SetSize(int width, int height) {
    const TExtent taken = AcceptEachDimension({this->width(), this->height()}, {width, height},
                                              {MinWidth(), MinHeight()});
    resize(taken.width, taken.height);
}

void TUIComponent::SetChildrenEnabled(bool on) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(on);
}

void TUIComponent::SetMargins(const TMarginRecord& margins) {
    margins_ = MergeMargins(margins_, margins);
}

void TUIComponent::SetFramed(bool framed) {
    framed_ = framed;
    update();
}

void TUIComponent::SetShowCaption(bool show) {
    showCaption_ = show;
    UpdateCaptionLabel();
    update();
}

void TUIComponent::SetFrameCaption(const QString& caption) {
    caption_ = caption;
    UpdateCaptionLabel();
}

void TUIComponent::UpdateCaptionLabel() {
    if (!showCaption_) {
        captionLabel_->hide();
        return;
    }
    captionLabel_->setText(" " + caption_ + " ");
    captionLabel_->adjustSize();
    captionLabel_->move(kCaptionLeft, 0);
    captionLabel_->show();
    captionLabel_->raise();
}

void TUIComponent::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!framed_)
        return;
    const int top = FrameTop(showCaption_, fontMetrics().height());
    // An etched line: the highlight, then the shadow one pixel up and to the left.
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    const int w = width() - 3;
    const int h = height() - top - 2;
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(1, top, w, h);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(0, top - 1, w, h);
}

} // namespace lexaro
