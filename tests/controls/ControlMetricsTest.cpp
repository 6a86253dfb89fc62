// The composite controls' arithmetic without widgets.
#include "controls/ControlMetrics.h"

#include <gtest/gtest.h>

#include <climits>

namespace lexaro {
namespace {

TEST(ControlBase, MarginsAndSizes) {
    const TMarginRecord start;
    EXPECT_EQ(MergeMargins(start, {-1, 3, -5, 0}), (TMarginRecord{7, 3, 7, 0}));
    EXPECT_EQ(MergeMargins(start, {-1, -1, -1, -1}), start);

    // The base takes each dimension on its own; combo box and slider take both or nothing.
    const TExtent minimum{100, 40};
    EXPECT_EQ(AcceptEachDimension({120, 50}, {90, 60}, minimum), (TExtent{120, 60}));
    EXPECT_EQ(AcceptEachDimension({120, 50}, {150, 39}, minimum), (TExtent{150, 50}));
    EXPECT_EQ(AcceptEachDimension({120, 50}, {100, 40}, minimum), (TExtent{100, 40}));
    EXPECT_FALSE(AcceptsBoth({90, 60}, minimum));
    EXPECT_FALSE(AcceptsBoth({150, 39}, minimum));
    EXPECT_TRUE(AcceptsBoth({100, 40}, minimum));

    EXPECT_EQ(FrameTop(false, 15), 1);
    EXPECT_EQ(FrameTop(true, 15), 8);
}

TComboSizing Combo(bool labelLeft, int labelWidth) {
    TComboSizing s;
    s.labelLeft = labelLeft;
    s.labelWidth = labelWidth;
    s.labelHeight = 13;
    s.scrollBarWidth = 16;
    return s;
}

TEST(ComboSizing, ContentWidthFollowsTheWidestItem) {
    TComboSizing s = Combo(false, 30);
    EXPECT_EQ(ComboContentWidth(s), 130); // no items
    s.hasItems = true;
    s.widestText = 150;
    EXPECT_EQ(ComboContentWidth(s), 150 + 15 + 16);
    s.constructing = true;
    EXPECT_EQ(ComboContentWidth(s), 130);
    s.constructing = false;
    s.widestText = 20; // never narrower than the smallest box width
    EXPECT_EQ(ComboContentWidth(s), 130);
    s.minBoxWidth = 30;
    EXPECT_EQ(ComboContentWidth(s), 20 + 15 + 16);

    // The colour list: pictures only, all texts empty.
    TComboSizing colours = Combo(false, 30);
    colours.minBoxWidth = 30;
    colours.hasItems = true;
    colours.widestText = 0;
    colours.hasImages = true;
    colours.textIndent = ImageTextIndent(31);
    EXPECT_EQ(ComboContentWidth(colours), 15 + 16 + 41);
    EXPECT_EQ(ImageItemHeight(12), 16);
}

TEST(ComboSizing, MinimumSizesForBothLabelPositions) {
    // Label above: content and margins only.
    TComboSizing above = Combo(false, 60);
    EXPECT_EQ(ComboMinWidth(above).minWidth, 130 + 14);
    EXPECT_EQ(ComboMinHeight(above), 14 + 21 + 13 + 5);

    // Label left: its width and a gap of 10 come on top.
    TComboSizing left = Combo(true, 60);
    EXPECT_EQ(ComboMinWidth(left).minWidth, 130 + 14 + 60 + 10);
    EXPECT_EQ(ComboMinWidth(left).boxWidth, 130);
    EXPECT_EQ(ComboMinHeight(left), 14 + 21);

    // A box narrower than the label left of it is widened to label width + 26.
    left.boxWidth = 40;
    const TComboWidth widened = ComboMinWidth(left);
    EXPECT_EQ(widened.boxWidth, 86);
    EXPECT_EQ(widened.minWidth, 130 + 14 + 60 + 10 + 46);

    // With pictures the height grows by a fifth, rounded.
    left.hasImages = true;
    left.boxHeight = 16;
    EXPECT_EQ(ComboMinHeight(left), 36); // 30 * 1.2
    left.boxHeight = 17;
    EXPECT_EQ(ComboMinHeight(left), 37); // 31 * 1.2 = 37.2
}

TEST(ComboSizing, ArrangeKeepsTheBoxAtTheRightMargin) {
    TComboSizing left = Combo(true, 60);
    left.boxWidth = 150;
    const TComboLayout l = ArrangeCombo(left, {240, 41});
    EXPECT_EQ(l.box, (TBox{240 - 150 - 7, 10, 150, 21}));
    EXPECT_EQ(l.labelLeft, 7);
    EXPECT_EQ(l.labelTop, 14);

    TComboSizing above = Combo(false, 60);
    above.boxWidth = 150;
    const TComboLayout a = ArrangeCombo(above, {164, 53});
    EXPECT_EQ(a.box, (TBox{7, 16 + 8, 150, 21}));
    EXPECT_EQ(a.labelTop, 24 - 13 - 5);
    EXPECT_EQ(a.labelLeft, a.box.left);
}

TEST(SliderValueLine, PositionDividedByTheTickStep) {
    struct Case {
        int position, tickStep, shown;
    };
    const Case cases[] = {
        {70, 1, 70},   {70, 2, 35}, {170, 10, 17},
        {175, 10, 17}, {70, 0, 70}, // a range narrower than its step divisor counts single units
        {70, -3, 70},               // never a division by a negative step either
        {-40, 20, -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SliderShownValue(c.position, c.tickStep), c.shown)
            << c.position << " / " << c.tickStep;
    EXPECT_EQ(SliderValueText("Speed", 170, 10, ""), "Speed : 17 ");
    EXPECT_EQ(SliderValueText("Tonh\xF6he", 55, 5, "Hz"), "Tonh\xF6he : 11 Hz");
}

TEST(SliderRange, MaximumFirstThenMinimumWithClamping) {
    const TSliderRange start{60, 80, 70};
    // Ranges inside, overlapping or above take one call; the position is clamped.
    EXPECT_EQ(SetSliderRange(start, 65, 75), (TSliderRange{65, 75, 70}));
    EXPECT_EQ(SetSliderRange(start, 50, 75), (TSliderRange{50, 75, 70}));
    EXPECT_EQ(SetSliderRange(start, 100, 300), (TSliderRange{100, 300, 100}));
    // A range wholly below: the maximum is refused at first (below the old minimum).
    const TSliderRange once = SetSliderRange(start, 0, 50);
    EXPECT_EQ(once, (TSliderRange{0, 80, 70}));
    EXPECT_EQ(SetSliderRange(once, 0, 50), (TSliderRange{0, 50, 50}));
    // A reversed range changes what it can and keeps the bar sound.
    const TSliderRange reversed = SetSliderRange(start, 90, 10);
    EXPECT_LE(reversed.min, reversed.max);
    EXPECT_GE(reversed.position, reversed.min);
    EXPECT_LE(reversed.position, reversed.max);
}

TEST(HSliderSizing, MinimumSizesAndArrangement) {
    THSliderSizing s;
    s.minLabelWidth = 20;
    s.maxLabelWidth = 24;
    s.textHeight = 15;
    EXPECT_EQ(HSliderInitialSize(s), (TExtent{200 + 44 + 14 + 10, 15 + 37 + 14 + 5}));
    EXPECT_EQ(HSliderMinWidth(s), 44 + 14 + 140);
    EXPECT_EQ(HSliderMinHeight(s), 15 + 14 + 42);

    const THSliderLayout l = ArrangeHSlider(s, {300, 90}, 80);
    EXPECT_EQ(l.bar, (TBox{20 + 7 + 5, 45 - 25, 300 - 44 - 14 - 10, 37}));
    EXPECT_EQ(l.minLabelLeft, l.bar.left - 20 - 5);
    EXPECT_EQ(l.maxLabelLeft, l.bar.left + l.bar.width + 5);
    EXPECT_EQ(l.sideLabelTop, l.bar.top + 10);
    EXPECT_EQ(l.valueLabelTop, l.bar.top + 37 + 5);
    EXPECT_EQ(l.valueLabelLeft, 110);
}

TEST(SpinWrap, OneStepBeyondEachEndWrapsAround) {
    const TSpinBounds b = WrapBounds(1, 100);
    EXPECT_EQ(b, (TSpinBounds{0, 101}));
    EXPECT_EQ(WrapValue(101, b), 1); // up from 100
    EXPECT_EQ(WrapValue(0, b), 100); // down from 1
    EXPECT_EQ(WrapValue(50, b), 50);
    EXPECT_EQ(WrapValue(1, b), 1);
    EXPECT_EQ(WrapValue(100, b), 100);

    // The ends of int stay defined.
    const TSpinBounds wide = WrapBounds(INT_MIN, INT_MAX);
    EXPECT_EQ(wide, (TSpinBounds{INT_MIN, INT_MAX}));
    EXPECT_EQ(WrapValue(INT_MAX, wide), INT_MIN + 1);
}

} // namespace
} // namespace lexaro
