#pragma once

// The arithmetic of the composite controls, without widgets: sizes, layouts, the slider's
// range and value line and the spin box's wrap-around. The Qt controls measure their texts
// and hand the numbers in here; tests call these functions directly. All sizes are pixels.

#include <cstdint>
#include <string>
#include <string_view>

namespace lexaro {

// Margins of a composite control. Used as a change (SetMargins), a negative entry leaves
// that margin as it is.
struct TMarginRecord {
    int top = 7;
    int right = 7;
    int bottom = 7;
    int left = 7;

    friend bool operator==(const TMarginRecord&, const TMarginRecord&) = default;
};
TMarginRecord MergeMargins(const TMarginRecord& current, const TMarginRecord& change);

struct TExtent {
    int width = 0;
    int height = 0;

    friend bool operator==(const TExtent&, const TExtent&) = default;
};

struct TBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TBox&, const TBox&) = default;
};

// The base control's SetSize: each dimension is taken on its own when it reaches its minimum.
TExtent AcceptEachDimension(TExtent current, TExtent wanted, TExtent minimum);
// The combo box's and the slider's SetSize: taken only when both dimensions reach their minimum.
bool AcceptsBoth(TExtent wanted, TExtent minimum);

// Top of the etched frame: below half of the caption's text height when the caption shows.
int FrameTop(bool showCaption, int zeroTextHeight);
// Left of the caption over the frame line.
inline constexpr int kCaptionLeft = 13;

// ---- Combo box with its caption label ----

inline constexpr int kComboMinBoxWidth = 130;
inline constexpr int kComboBoxHeight = 21;
inline constexpr int kComboDropDownCount = 5;
inline const char* const kComboDefaultCaption = "Combobox";

struct TComboSizing {
    TMarginRecord margins;
    bool labelLeft = true; // otherwise above the box
    int labelWidth = 0;
    int labelHeight = 0;
    int minBoxWidth = kComboMinBoxWidth;
    int boxHeight = kComboBoxHeight;
    int boxWidth = kComboMinBoxWidth; // the box as it stands
    int textIndent = 0;
    bool hasImages = false;
    bool constructing = false;
    bool hasItems = false;
    int widestText = 0; // the widest text among the non-empty items
    int scrollBarWidth = 0;
};

// The box's width for its items: widest text + 15 + a scroll bar + the text indent, never
// below the smallest box width.
int ComboContentWidth(const TComboSizing& s);
// The smallest width; a box narrower than a label left of it is widened to label width + 26,
// which boxWidth then reports.
struct TComboWidth {
    int minWidth = 0;
    int boxWidth = 0;
};
TComboWidth ComboMinWidth(const TComboSizing& s);
int ComboMinHeight(const TComboSizing& s);
// Caption label and box within a control of the given size.
struct TComboLayout {
    TBox box;
    int labelLeft = 0;
    int labelTop = 0;
};
TComboLayout ArrangeCombo(const TComboSizing& s, TExtent size);
// Rows of an item list with pictures: picture height + 4, text indent picture width + 10.
inline constexpr int ImageItemHeight(int imageHeight) {
    return imageHeight + 4;
}
inline constexpr int ImageTextIndent(int imageWidth) {
    return imageWidth + 10;
}

// ---- Slider with its side labels and value line ----

inline constexpr int kSliderBarWidth = 200;
inline constexpr int kSliderBarHeight = 37;
inline constexpr int kSliderCaptionMarginTop = 15;
inline constexpr int kSliderCaptionMarginBottom = 5;

// The number the value line shows: the position divided by the tick step. A tick step below
// 1 (a range narrower than its step divisor) counts in single units.
int EffectiveTickStep(int tickStep);
int SliderShownValue(int position, int tickStep);
// caption + " : " + shown value + " " + unit. The texts are taken as bytes, so any
// encoding passes through unchanged.
std::string SliderValueText(std::string_view caption, int position, int tickStep,
                            std::string_view unit);

// The track bar's range and position.
struct TSliderRange {
    int min = 0;
    int max = 10;
    int position = 0;

    friend bool operator==(const TSliderRange&, const TSliderRange&) = default;
};
// The bar's SetRange: the maximum is set first, then the minimum; a maximum below the current
// minimum and a minimum above the current maximum are refused (that step is skipped). The
// position is clamped into the range. A range wholly below or above the old one therefore
// takes two calls.
TSliderRange SetSliderRange(TSliderRange bar, int min, int max);
int ClampToRange(const TSliderRange& bar, int position);

struct THSliderSizing {
    TMarginRecord margins;
    int minLabelWidth = 0;
    int maxLabelWidth = 0;
    int textHeight = 0; // of the value line's font
    int barWidth = kSliderBarWidth;
    int barHeight = kSliderBarHeight;
};
// The size a new slider takes (bar at its full width).
TExtent HSliderInitialSize(const THSliderSizing& s);
int HSliderMinWidth(const THSliderSizing& s);
int HSliderMinHeight(const THSliderSizing& s);
struct THSliderLayout {
    TBox bar;
    int minLabelLeft = 0;
    int maxLabelLeft = 0;
    int sideLabelTop = 0;
    int valueLabelLeft = 0;
    int valueLabelTop = 0;
};
THSliderLayout ArrangeHSlider(const THSliderSizing& s, TExtent size, int valueLabelWidth);

// ---- Spin box that wraps around ----

struct TSpinBounds {
    int min = 0;
    int max = 0;

    friend bool operator==(const TSpinBounds&, const TSpinBounds&) = default;
};
// One step beyond each end: low - 1 and high + 1.
TSpinBounds WrapBounds(int low, int high);
// A value on the outer step becomes the other end: max -> low end, min -> high end.
int WrapValue(int value, TSpinBounds bounds);

} // namespace lexaro
