#include "imaging/fit.h"

#include <cmath>

namespace velmaro::imaging {

namespace {

// The ratio and the products are taken in floating point and truncated, so the drawn
// size matches the preview's historical arithmetic to the pixel.
void keep_proportions(int w, int h, int frame_w, int frame_h, int& dw, int& dh) {
    const double r = static_cast<double>(w) / h;
    if (w > h) {
        dw = frame_w;
        dh = static_cast<int>(std::trunc(frame_w / r));
        if (dh > frame_h) {
            dh = frame_h;
            dw = static_cast<int>(std::trunc(frame_h * r));
        }
    } else {
        dh = frame_h;
        dw = static_cast<int>(std::trunc(frame_h * r));
        if (dw > frame_w) {
            dw = frame_w;
            dh = static_cast<int>(std::trunc(frame_w / r));
        }
    }
}

} // namespace

FitRect fit_in_frame(int w, int h, int frame_w, int frame_h, const FrameLayout& layout) {
    if (w <= 0 || h <= 0)
        return {};
    int dw = w, dh = h;
    if (layout.stretch || (layout.proportional && (w > frame_w || h > frame_h))) {
        if (layout.proportional) {
            keep_proportions(w, h, frame_w, frame_h, dw, dh);
        } else {
            dw = frame_w;
            dh = frame_h;
        }
    }
    FitRect rect{0, 0, dw, dh};
    if (layout.center) {
        rect.x = (frame_w - dw) / 2; // C++ division truncates toward zero, as wanted
        rect.y = (frame_h - dh) / 2;
    }
    return rect;
}

} // namespace velmaro::imaging
