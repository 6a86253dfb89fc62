#pragma once

#include "controls/T_UIComponent.h"

#include <cstdint>

class QLabel;
class QSlider;

namespace lexaro {

// A framed track bar with labels for its two ends and a value line ("Speed : 17 ") that
// counts in tick steps. The concrete forms arrange the parts; TMHSlider is the horizontal one.
class TMSlider : public TUIComponent {
    Q_OBJECT
public:
    // Caption "Value", no unit, side labels "Min" and "Max"; tick step 1, ticks on both sides.
    TMSlider(QWidget* owner, int left, int top, int min, int max);

    // Caption, unit and the two side labels; then the value line follows.
    void SetTexts(const QString& caption, const QString& unit, const QString& minText,
                  const QString& maxText);
    // The tick marks and the divisor of the value line.
    void SetTickStep(int step);
    int TickStep() const;
    // The maximum is set first, then the minimum; each is refused when it would cross the
    // other end, and the position is clamped (a changed position is a change of the bar). A
    // range far from the old one therefore takes two calls.
    void SetRange(int min, int max);
    int Minimum() const;
    int Maximum() const;
    // The window texts for caption, unit, side labels and hint (0: none).
    void SetTextIds(std::int32_t caption, std::int32_t unit, std::int32_t minLabel,
                    std::int32_t maxLabel, std::int32_t hint);

    void ApplyTexts(const TAppLangHandler* texts) override;
    void SetHint(const QString& text) override;

    // The bar clamps the value into its range.
    virtual void SetPosition(int value) = 0;
    virtual int Position() const = 0;
    virtual void UpdateValueLabel() = 0;

    // The track bar, for owners to follow its changes.
    QSlider* Bar() const { return bar_; }
    QLabel* MinLabel() const { return minLabel_; }
    QLabel* MaxLabel() const { return maxLabel_; }
    QLabel* ValueLabel() const { return valueLabel_; }
    const QString& Unit() const { return unit_; }

protected:
    // The texts without the value line, which the concrete form updates once it exists.
    void StoreTexts(const QString& caption, const QString& unit, const QString& minText,
                    const QString& maxText);

    QSlider* bar_ = nullptr;
    QLabel* minLabel_ = nullptr;
    QLabel* maxLabel_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QString unit_;

private:
    std::int32_t captionId_ = 0;
    std::int32_t unitId_ = 0;
    std::int32_t minLabelId_ = 0;
    std::int32_t maxLabelId_ = 0;
    std::int32_t hintId_ = 0;
};

} // namespace lexaro
