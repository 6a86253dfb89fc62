#pragma once

namespace lexaro {

// A window's geometry as the fitting arithmetic sees it.
struct FormGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool autoSize = false;
    bool hScroll = false;
    bool vScroll = false;
};

struct ScreenMetrics {
    int width = 0;
    int height = 0;
    int captionHeight = 0;
    int hScrollHeight = 0;
    int dpi = 96;
};

// 1.0 at 96 dpi; (dpi + 10) / 100 from 130 dpi on; (dpi + 5) / 100 below 130.
double FormScaleFactor(int dpi);

// Scales the window for the screen's pixel density, cuts it to the screen, centres it as
// asked; true when it had to be cut.
bool FitFormToScreen(FormGeometry& form, const ScreenMetrics& screen, bool centreHorizontally,
                     bool centreVertically, bool autoSize);

} // namespace lexaro
