// Wallpapers rendered at the screen's own size: the picture, upright, scaled to cover
// the screen (Fill, cut evenly on its long side) or to lie inside it (Fit, centred on the
// desktop's background colour), written as a 24-bit bitmap file of exactly that size.
//
// A large JPEG is decoded at the smallest decoder scale that still covers what is shown
// and then resampled (see resample.h), so it is never held at full size.
#pragma once

#include "imaging/pixels.h"
#include "imaging/raster.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmaro::imaging {

enum class ScreenFit { Fit, Fill };

struct Screen {
    int width = 0, height = 0;
    std::uint32_t background = 0; // 0x00RRGGBB, shown around a fitted picture
};

// What of an upright w x h picture is shown and where: the part between the fractions
// u0..u1 of its width and v0..v1 of its height goes to the rectangle x, y, width, height
// of the screen.
struct ScreenPlacement {
    double u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    int x = 0, y = 0, width = 0, height = 0;
};
ScreenPlacement place_on_screen(int upright_width, int upright_height, ScreenFit fit, int screen_width,
                                int screen_height);

// The bitmap file for an already decoded picture, stored as `pixels` and shown turned by
// `orientation`. Throws velmaro::InvalidGraphic for an empty picture or screen.
std::vector<std::uint8_t> render_screen_bmp24(ConstView stored, int orientation, ScreenFit fit,
                                              const Screen& screen);
std::vector<std::uint8_t> render_screen_bmp24(const Pixels& upright, ScreenFit fit, const Screen& screen);

// The same for a JPEG file's bytes, upright by its Exif orientation. Throws like
// decode_jpeg.
std::vector<std::uint8_t> render_jpeg_screen_bmp24(std::span<const std::uint8_t> jpeg, ScreenFit fit,
                                                   const Screen& screen);

} // namespace velmaro::imaging
