#include "controls/T_MSlider.h"

#include "app/AppLangHandl.h"
#include "app/QtText.h"

#include <QLabel>
#include <QSlider>

namespace lexaro {

TMSlider::TMSlider(QWidget* owner, int left, int top, int min, int max)
    : TUIComponent(owner, left, top) {
    bar_ = new QSlider(Qt::Horizontal, this);
    bar_->setObjectName("Bar");
    bar_->setTickPosition(QSlider::TicksBothSides);
    bar_->setTickInterval(1);
    bar_->setRange(min, max);
    minLabel_ = new QLabel(this);
    minLabel_->setObjectName("MinLabel");
    maxLabel_ = new QLabel(this);
    maxLabel_->setObjectName("MaxLabel");
    valueLabel_ = new QLabel(this);
    valueLabel_->setObjectName("ValueLabel");
    StoreTexts("Value", QString(), "Min", "Max");
}

void TMSlider::StoreTexts(const QString& caption, const QString& unit, const QString& minText,
                          const QString& maxText) {
    SetFrameCaption(caption);
    unit_ = unit;
    minLabel_->setText(minText);
    minLabel_->adjustSize();
    maxLabel_->setText(maxText);
    maxLabel_->adjustSize();
}

void TMSlider::SetTexts(const QString& caption, const QString& unit, const QString& minText,
                        const QString& maxText) {
    StoreTexts(caption, unit, minText, maxText);
    ArrangeChildren();
    UpdateValueLabel();
}

void TMSlider::SetTickStep(int step) {
    bar_->setTickInterval(step);
    // Keyboard pages move by one tick.
    bar_->setPageStep(EffectiveTickStep(step));
    UpdateValueLabel();
}

int TMSlider::TickStep() const {
    return bar_->tickInterval();
}

void TMSlider::SetRange(int min, int max) {
    const TSliderRange now{bar_->minimum(), bar_->maximum(), bar_->value()};
    const TSliderRange next = SetSliderRange(now, min, max);
    // Both ends are consistent, so the bar takes them as they are and clamps its position,
    // reporting a change of it.
    bar_->setRange(next.min, next.max);
}

int TMSlider::Minimum() const {
    return bar_->minimum();
}

int TMSlider::Maximum() const {
    return bar_->maximum();
}

void TMSlider::SetTextIds(std::int32_t caption, std::int32_t unit, std::int32_t minLabel,
                          std::int32_t maxLabel, std::int32_t hint) {
    captionId_ = caption;
    unitId_ = unit;
    minLabelId_ = minLabel;
    maxLabelId_ = maxLabel;
    hintId_ = hint;
}

void TMSlider::ApplyTexts(const TAppLangHandler* texts) {
    if (texts == nullptr)
        return;
    const auto text = [texts](std::int32_t id, const QString& keep) {
        return id > 0 ? QtFromCp1252(texts->GetText(id)) : keep;
    };
    StoreTexts(text(captionId_, Caption()), text(unitId_, unit_),
               text(minLabelId_, minLabel_->text()), text(maxLabelId_, maxLabel_->text()));
    if (hintId_ > 0)
        SetHint(QtFromCp1252(texts->GetText(hintId_)));
    // Side labels of another width move the bar.
    ArrangeChildren();
    UpdateValueLabel();
    update();
}

void TMSlider::SetHint(const QString& text) {
    bar_->setToolTip(text);
}

} // namespace lexaro
