#include "app/FormFit.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

constexpr ScreenMetrics Screen(int w, int h, int dpi) {
    return {w, h, 23, 17, dpi};
}

TEST(FormFit, ScaleFactor) {
    EXPECT_DOUBLE_EQ(FormScaleFactor(96), 1.0);
    EXPECT_DOUBLE_EQ(FormScaleFactor(120), 1.25);
    EXPECT_DOUBLE_EQ(FormScaleFactor(144), 1.54);
    EXPECT_DOUBLE_EQ(FormScaleFactor(130), 1.40);
    EXPECT_DOUBLE_EQ(FormScaleFactor(129), 1.34);
    EXPECT_DOUBLE_EQ(FormScaleFactor(72), 0.77);
}

TEST(FormFit, ScalesAt120DpiAndCentres) {
    FormGeometry form{5, 5, 688, 128};
    EXPECT_FALSE(FitFormToScreen(form, Screen(1920, 1080, 120), true, false, true));
    EXPECT_EQ(form.width, 860);
    EXPECT_EQ(form.height, 160);
    EXPECT_TRUE(form.autoSize);
    EXPECT_EQ(form.left, (1920 - 860) / 2);
    EXPECT_EQ(form.top, 5); // not centred vertically
    EXPECT_FALSE(form.hScroll || form.vScroll);
}

TEST(FormFit, ScalesAt144DpiWithTruncation) {
    FormGeometry form{0, 0, 100, 33};
    EXPECT_FALSE(FitFormToScreen(form, Screen(1920, 1080, 144), true, true, false));
    EXPECT_EQ(form.width, 154);
    EXPECT_EQ(form.height, 50); // 50.82 truncated
    EXPECT_FALSE(form.autoSize);
    EXPECT_EQ(form.left, (1920 - 154) / 2);
    EXPECT_EQ(form.top, (1080 - 50) / 2);
}

TEST(FormFit, AtNinetySixDpiAFittingWindowIsOnlyCentred) {
    FormGeometry form{0, 0, 688, 128, true};
    EXPECT_FALSE(FitFormToScreen(form, Screen(1024, 768, 96), true, true, false));
    EXPECT_EQ(form.width, 688);
    EXPECT_EQ(form.height, 128);
    EXPECT_TRUE(form.autoSize);
    EXPECT_EQ(form.left, 168);
    EXPECT_EQ(form.top, 320);
}

TEST(FormFit, WiderThanTheScreenIsCutAtTheLeftEdge) {
    FormGeometry form{40, 40, 1200, 300, true};
    EXPECT_TRUE(FitFormToScreen(form, Screen(1024, 768, 96), true, true, true));
    EXPECT_EQ(form.width, 1024);
    EXPECT_EQ(form.left, 0);
    EXPECT_TRUE(form.hScroll);
    EXPECT_FALSE(form.vScroll);
    EXPECT_FALSE(form.autoSize);
    EXPECT_EQ(form.top, (768 - 300) / 2); // still centred vertically
}

TEST(FormFit, TallerThanTheScreenIsCutAtTheTop) {
    FormGeometry form{40, 40, 500, 900};
    EXPECT_TRUE(FitFormToScreen(form, Screen(1024, 768, 96), true, true, true));
    EXPECT_EQ(form.height, 768 - 23);
    EXPECT_EQ(form.top, 0);
    EXPECT_TRUE(form.vScroll);
    EXPECT_EQ(form.left, (1024 - 500) / 2);
}

TEST(FormFit, ScaledCutKeepsTheScaledHeightPlusScrollBar) {
    // 120 dpi: 900 x 200 becomes 1125 x 250, wider than 1024.
    FormGeometry form{10, 300, 900, 200, true};
    EXPECT_TRUE(FitFormToScreen(form, Screen(1024, 768, 120), true, false, true));
    EXPECT_EQ(form.width, 1024);
    EXPECT_EQ(form.left, 0);
    EXPECT_EQ(form.height, 250 + 17);
    EXPECT_EQ(form.top, 300 - 67 / 2); // moved up by half the growth
    EXPECT_FALSE(form.autoSize);

    FormGeometry nearTop{10, 5, 900, 200};
    FitFormToScreen(nearTop, Screen(1024, 768, 120), true, false, true);
    EXPECT_EQ(nearTop.top, 0); // never above the screen

    FormGeometry centred{10, 300, 900, 200};
    FitFormToScreen(centred, Screen(1024, 768, 120), true, true, true);
    EXPECT_EQ(centred.top, (768 - 267) / 2);
}

TEST(FormFit, ScaledTooHighAndTooWideIsCutBothWays) {
    FormGeometry form{10, 10, 900, 700};
    EXPECT_TRUE(FitFormToScreen(form, Screen(1024, 768, 144), true, true, true));
    EXPECT_EQ(form.width, 1024);
    EXPECT_EQ(form.height, 768 - 23);
    EXPECT_EQ(form.left, 0);
    EXPECT_EQ(form.top, 0);
    EXPECT_TRUE(form.hScroll && form.vScroll);
}

} // namespace
} // namespace lexaro
