// The preview's rule for fitting a picture into its frame: proportional, centred, never
// enlarged.
#pragma once

namespace velmaro::imaging {

struct FitRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const FitRect&) const = default;
};

inline constexpr int kPreviewFrameWidth = 217;
inline constexpr int kPreviewFrameHeight = 145;

// Where a w x h picture is drawn inside a frame_w x frame_h frame: a picture larger than
// the frame in either direction is scaled to fit with its proportions kept (the sizes
// truncated), a smaller one keeps its own size; the result is centred, the offsets
// truncated toward zero.
FitRect fit_to_frame(int w, int h, int frame_w = kPreviewFrameWidth, int frame_h = kPreviewFrameHeight);

} // namespace velmaro::imaging
