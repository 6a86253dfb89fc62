#include "controls/T_MHSlider.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace lexaro {

TMHSlider::TMHSlider(QWidget* owner, int left, int top, int min, int max)
    : TMSlider(owner, left, top, min, max) {
    Construct();
}

TMHSlider::TMHSlider(QWidget* owner, int left, int top, int min, int max, bool showCaption)
    : TMSlider(owner, left, top, min, max) {
    Construct();
    SetShowCaption(showCaption);
    SetFramed(true);
    SetMargins({margins_.top + kSliderCaptionMarginTop, -1,
                margins_.bottom + kSliderCaptionMarginBottom, -1});
    TakeInitialSize();
}

void TMHSlider::Construct() {
    bar_->resize(kSliderBarWidth, kSliderBarHeight);
    minLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    valueLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    maxLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TakeInitialSize();
    UpdateValueLabel();
    connect(bar_, &QSlider::valueChanged, this, [this] { UpdateValueLabel(); });
}

THSliderSizing TMHSlider::Sizing() const {
    THSliderSizing s;
    s.margins = margins_;
    s.minLabelWidth = minLabel_->width();
    s.maxLabelWidth = maxLabel_->width();
    // The value line's text height stands for the font size.
    s.textHeight = valueLabel_->fontMetrics().height();
    s.barWidth = bar_->width();
    s.barHeight = bar_->height();
    return s;
}

void TMHSlider::TakeInitialSize() {
    THSliderSizing s = Sizing();
    s.barWidth = kSliderBarWidth;
    const TExtent size = HSliderInitialSize(s);
    resize(size.width, size.height);
    ArrangeChildren();
}

int TMHSlider::MinWidth() const {
    return HSliderMinWidth(Sizing());
}

int TMHSlider::MinHeight() const {
    return HSliderMinHeight(Sizing());
}

void TMHSlider::SetSize(int width, int height) {
    if (!AcceptsBoth({width, height}, {MinWidth(), MinHeight()}))
        return;
    resize(width, height);
    ArrangeChildren();
}

void TMHSlider::ArrangeChildren() {
    const THSliderLayout layout =
        ArrangeHSlider(Sizing(), {width(), height()}, valueLabel_->width());
    bar_->setGeometry(layout.bar.left, layout.bar.top, layout.bar.width, layout.bar.height);
    minLabel_->move(layout.minLabelLeft, layout.sideLabelTop);
    maxLabel_->move(layout.maxLabelLeft, layout.sideLabelTop);
    valueLabel_->move(layout.valueLabelLeft, layout.valueLabelTop);
}

void TMHSlider::SetPosition(int value) {
    bar_->setValue(value);
    UpdateValueLabel();
}

int TMHSlider::Position() const {
    return bar_->value();
}

void TMHSlider::UpdateValueLabel() {
    const std::string text = SliderValueText(Caption().toStdString(), bar_->value(),
                                             bar_->tickInterval(), unit_.toStdString());
    valueLabel_->setText(QString::fromStdString(text));
    const QFontMetrics metrics = valueLabel_->fontMetrics();
    valueLabel_->resize(metrics.horizontalAdvance(valueLabel_->text()) + 4, metrics.height());
    const THSliderLayout layout =
        ArrangeHSlider(Sizing(), {width(), height()}, valueLabel_->width());
    valueLabel_->move(layout.valueLabelLeft, layout.valueLabelTop);
}

} // namespace lexaro
