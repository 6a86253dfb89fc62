#include "app/FormFit.h"

#include <algorithm>

namespace lexaro {

namespace {

// The factor as a fraction of 100, so that scaled sizes are exact (688 * 1.25 is 860, never
// 859 from a rounding error).
int ScalePercent(int dpi) {
    if (dpi == 96)
        return 100;
    return dpi >= 130 ? dpi + 10 : dpi + 5;
}

struct Fitter {
    FormGeometry& form;
    const ScreenMetrics& screen;
    bool centreH;
    bool centreV;
    bool cut = false;

    void CutHorizontally() {
        form.autoSize = false;
        form.width = screen.width;
        form.left = 0;
        form.hScroll = true;
        centreH = false;
        cut = true;
    }

    void CutVertically() {
        form.autoSize = false;
        form.height = screen.height - screen.captionHeight;
        form.top = 0;
        form.vScroll = true;
        centreV = false;
        cut = true;
    }

    // After a horizontal cut the window keeps its scaled height plus room for the scroll bar.
    void AdjustHeight(int scaledHeight) {
        form.autoSize = false;
        const int newHeight = scaledHeight + (form.hScroll ? screen.hScrollHeight : 0);
        const int growth = newHeight - form.height;
        form.height = newHeight;
        if (!centreV)
            form.top = std::max(0, form.top - growth / 2);
    }
};

} // namespace

double FormScaleFactor(int dpi) {
    return ScalePercent(dpi) / 100.0;
}

bool FitFormToScreen(FormGeometry& form, const ScreenMetrics& screen, bool centreHorizontally,
                     bool centreVertically, bool autoSize) {
    Fitter fit{form, screen, centreHorizontally, centreVertically};
    const long long percent = ScalePercent(screen.dpi);
    const int scaledHeight = static_cast<int>(form.height * percent / 100);
    const int scaledWidth = static_cast<int>(form.width * percent / 100);
    int widthToCentre = form.width;
    int heightToCentre = form.height;

    if (screen.dpi > 100 || screen.dpi < 90) {
        if (screen.width < scaledWidth) {
            fit.CutHorizontally();
            if (scaledHeight < screen.height)
                fit.AdjustHeight(scaledHeight);
            widthToCentre = form.width;
            heightToCentre = form.height;
        } else {
            form.width = scaledWidth;
            form.height = scaledHeight;
            form.autoSize = autoSize;
            widthToCentre = scaledWidth;
            heightToCentre = scaledHeight;
        }
        if (screen.height < scaledHeight)
            fit.CutVertically();
    } else {
        if (screen.width < form.width)
            fit.CutHorizontally();
        if (screen.height < form.height)
            fit.CutVertically();
        widthToCentre = form.width;
        heightToCentre = form.height;
    }

    if (fit.centreV)
        form.top = (screen.height - heightToCentre) / 2;
    if (fit.centreH)
        form.left = (screen.width - widthToCentre) / 2;
    return fit.cut;
}

} // namespace lexaro
