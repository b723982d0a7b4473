#include "imaging/fit.h"

namespace velmaro::imaging {

FitRect fit_to_frame(int w, int h, int frame_w, int frame_h) {
    int fw = w, fh = h;
    if ((w > frame_w || h > frame_h) && w > 0 && h > 0) {
        // The ratio and the products are taken in floating point and truncated, so the
        // drawn size matches the preview's historical arithmetic to the pixel.
        const double r = static_cast<double>(w) / static_cast<double>(h);
        if (w > h) {
            fw = frame_w;
            fh = static_cast<int>(frame_w / r);
            if (fh > frame_h) {
                fh = frame_h;
                fw = static_cast<int>(frame_h * r);
            }
        } else {
            fh = frame_h;
            fw = static_cast<int>(frame_h * r);
            if (fw > frame_w) {
                fw = frame_w;
                fh = static_cast<int>(frame_w / r);
            }
        }
    }
    return FitRect{(frame_w - fw) / 2, (frame_h - fh) / 2, fw, fh};
}

} // namespace velmaro::imaging
