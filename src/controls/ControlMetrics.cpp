#include "controls/ControlMetrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lexaro {

namespace {

// a + b without overflow: beyond int's range the sum stays at its end.
int SaturatedAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

} // namespace

TMarginRecord MergeMargins(const TMarginRecord& current, const TMarginRecord& change) {
    TMarginRecord merged = current;
    if (change.top >= 0)
        merged.top = change.top;
    if (change.right >= 0)
        merged.right = change.right;
    if (change.bottom >= 0)
        merged.bottom = change.bottom;
    if (change.left >= 0)
        merged.left = change.left;
    return merged;
}

TExtent AcceptEachDimension(TExtent current, TExtent wanted, TExtent minimum) {
    if (wanted.width >= minimum.width)
        current.width = wanted.width;
    if (wanted.height >= minimum.height)
        current.height = wanted.height;
    return current;
}

bool AcceptsBoth(TExtent wanted, TExtent minimum) {
    return wanted.width >= minimum.width && wanted.height >= minimum.height;
}

int FrameTop(bool showCaption, int zeroTextHeight) {
    return showCaption ? zeroTextHeight / 2 + 1 : 1;
}

int ComboContentWidth(const TComboSizing& s) {
    if (s.constructing || !s.hasItems)
        return s.minBoxWidth;
    const int content = s.widestText + 15 + s.scrollBarWidth + s.textIndent;
    return std::max(content, s.minBoxWidth);
}

TComboWidth ComboMinWidth(const TComboSizing& s) {
    TComboWidth result;
    result.boxWidth = s.boxWidth;
    result.minWidth = ComboContentWidth(s) + s.margins.left + s.margins.right;
    if (s.labelLeft) {
        result.minWidth += s.labelWidth + 10;
        if (result.boxWidth < s.labelWidth) {
            const int widening = s.labelWidth + 26 - result.boxWidth;
            result.boxWidth += widening;
            result.minWidth += widening;
        }
    }
    return result;
}

int ComboMinHeight(const TComboSizing& s) {
    int height = s.margins.top + s.margins.bottom + s.boxHeight;
    if (!s.labelLeft)
        height += s.labelHeight + 5;
    if (s.hasImages)
        height = static_cast<int>(std::lround(height * 1.2));
    return height;
}

TComboLayout ArrangeCombo(const TComboSizing& s, TExtent size) {
    TComboLayout layout;
    layout.box.width = s.boxWidth;
    layout.box.height = s.boxHeight;
    layout.box.left = size.width - s.boxWidth - s.margins.right;
    if (s.labelLeft) {
        layout.box.top = (size.height - s.boxHeight) / 2;
        layout.labelLeft = s.margins.left;
        layout.labelTop = (size.height - s.labelHeight) / 2;
    } else {
        layout.box.top = (size.height - s.boxHeight) / 2 + 8;
        layout.labelTop = layout.box.top - s.labelHeight - 5;
        layout.labelLeft = layout.box.left;
    }
    return layout;
}

int EffectiveTickStep(int tickStep) {
    return tickStep < 1 ? 1 : tickStep;
}

int SliderShownValue(int position, int tickStep) {
    return position / EffectiveTickStep(tickStep);
}

std::string SliderValueText(std::string_view caption, int position, int tickStep,
                            std::string_view unit) {
    std::string text(caption);
    text += " : ";
    text += std::to_string(SliderShownValue(position, tickStep));
    text += ' ';
    text += unit;
    return text;
}

int ClampToRange(const TSliderRange& bar, int position) {
    return std::clamp(position, bar.min, std::max(bar.min, bar.max));
}

TSliderRange SetSliderRange(TSliderRange bar, int min, int max) {
    if (max >= bar.min)
        bar.max = max;
    if (min <= bar.max)
        bar.min = min;
    bar.position = ClampToRange(bar, bar.position);
    return bar;
}

TExtent HSliderInitialSize(const THSliderSizing& s) {
    return {s.barWidth + s.minLabelWidth + s.maxLabelWidth + s.margins.left + s.margins.right + 10,
            s.textHeight + s.barHeight + s.margins.top + s.margins.bottom + 5};
}

int HSliderMinWidth(const THSliderSizing& s) {
    return s.minLabelWidth + s.maxLabelWidth + s.margins.left + s.margins.right + 140;
}

int HSliderMinHeight(const THSliderSizing& s) {
    return s.textHeight + s.margins.top + s.margins.bottom + 42;
}

THSliderLayout ArrangeHSlider(const THSliderSizing& s, TExtent size, int valueLabelWidth) {
    THSliderLayout layout;
    layout.bar.top = size.height / 2 - 25;
    layout.bar.left = s.minLabelWidth + s.margins.left + 5;
    layout.bar.width =
        size.width - s.minLabelWidth - s.maxLabelWidth - s.margins.left - s.margins.right - 10;
    layout.bar.height = s.barHeight;
    layout.minLabelLeft = layout.bar.left - s.minLabelWidth - 5;
    layout.maxLabelLeft = layout.bar.left + layout.bar.width + 5;
    layout.sideLabelTop = layout.bar.top + 10;
    layout.valueLabelTop = layout.bar.top + layout.bar.height + 5;
    layout.valueLabelLeft = (size.width - valueLabelWidth) / 2;
    return layout;
}

TSpinBounds WrapBounds(int low, int high) {
    return {SaturatedAdd(low, -1), SaturatedAdd(high, 1)};
}

int WrapValue(int value, TSpinBounds bounds) {
    if (value == bounds.max)
        return SaturatedAdd(bounds.min, 1);
    if (value == bounds.min)
        return SaturatedAdd(bounds.max, -1);
    return value;
}

} // namespace lexaro
