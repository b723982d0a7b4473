// Where a picture is drawn in a frame: the one rule of the preview, the start-up picture
// and the About box's emblem (see gui/picture_box_win.h), each with its own layout.
#pragma once

namespace velmaro::imaging {

struct FitRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const FitRect&) const = default;
};

struct FrameLayout {
    bool center = false;       // centre the picture in the frame (else from the top-left)
    bool proportional = false; // shrink a larger picture to fit, keeping its proportions
    bool stretch = false;      // scale to the frame (with proportional: keeping proportions,
                               // enlarging too)
};

// The preview: centred, proportional, never enlarged, in a frame of 217 x 145.
inline constexpr FrameLayout kPreviewLayout{true, true, false};
inline constexpr int kPreviewFrameWidth = 217;
inline constexpr int kPreviewFrameHeight = 145;

// Where a w x h picture goes in a frame_w x frame_h frame. Scaled when stretching, or when
// proportional and larger than the frame in either direction: proportionally the side of
// the picture's longer dimension fills the frame and the other follows (truncated), and
// if that overflows, the other side fills and the first follows; without proportions the
// frame is filled. Otherwise the picture keeps its size. Offsets are halves of the spare
// room, truncated toward zero, when centred; else 0. An empty picture gives all zero.
FitRect fit_in_frame(int w, int h, int frame_w = kPreviewFrameWidth, int frame_h = kPreviewFrameHeight,
                     const FrameLayout& layout = kPreviewLayout);

} // namespace velmaro::imaging
