#pragma once

#include "controls/T_MSlider.h"

namespace lexaro {

// The horizontal slider: the bar in the middle, its end labels left and right of it, the
// value line centred below it.
class TMHSlider : public TMSlider {
    Q_OBJECT
public:
    // A bar 200 wide and 37 high; the control takes the size its parts need.
    TMHSlider(QWidget* owner, int left, int top, int min, int max);
    // The same, framed, with the caption over the frame when showCaption is set.
    TMHSlider(QWidget* owner, int left, int top, int min, int max, bool showCaption);

    // Only when both dimensions reach their minimum; then the parts are arranged anew.
    void SetSize(int width, int height) override;
    int MinWidth() const override;
    int MinHeight() const override;
    void ArrangeChildren() override;
    void SetPosition(int value) override;
    int Position() const override;
    // caption + " : " + position div tick step + " " + unit, centred below the bar.
    void UpdateValueLabel() override;

private:
    void Construct();
    THSliderSizing Sizing() const;
    void TakeInitialSize();
};

} // namespace lexaro
