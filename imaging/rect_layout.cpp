#include "imaging/rect_layout.h"

#include "imaging/resample.h"

#include <algorithm>
#include <cstring>

namespace velmaro::imaging {

namespace {

// Copies `width` pixels of 3 bytes.
void copy_pixels(const std::uint8_t* from, std::uint8_t* to, int width) {
    std::memcpy(to, from, static_cast<std::size_t>(width) * 3);
}

void tile(ConstView picture, View dst) {
    for (int y = 0; y < dst.height; ++y) {
        const std::uint8_t* src = picture.row(y % picture.height);
        std::uint8_t* out = dst.row(y);
        for (int x = 0; x < dst.width; x += picture.width)
            copy_pixels(src, out + std::ptrdiff_t{3} * x, std::min(picture.width, dst.width - x));
    }
}

// The picture's middle on the rectangle's middle: a negative offset cuts the picture.
void center(ConstView picture, std::uint32_t background, View dst) {
    fill(dst, background);
    const int ox = (dst.width - picture.width) / 2, oy = (dst.height - picture.height) / 2;
    const int x0 = std::max(0, ox), x1 = std::min(dst.width, ox + picture.width);
    const int y0 = std::max(0, oy), y1 = std::min(dst.height, oy + picture.height);
    for (int y = y0; y < y1; ++y)
        copy_pixels(picture.row(y - oy) + std::ptrdiff_t{3} * (x0 - ox), dst.row(y) + std::ptrdiff_t{3} * x0,
                    x1 - x0);
}

} // namespace

void fill(View dst, std::uint32_t rgb) {
    const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(rgb & 0xFF),
                                 static_cast<std::uint8_t>((rgb >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((rgb >> 16) & 0xFF)};
    for (int y = 0; y < dst.height; ++y) {
        std::uint8_t* row = dst.row(y);
        for (int x = 0; x < dst.width; ++x)
            std::memcpy(row + std::ptrdiff_t{3} * x, bgr, 3);
    }
}

void lay_out(ConstView picture, RectLayout layout, std::uint32_t background, View dst) {
    if (dst.width <= 0 || dst.height <= 0)
        return;
    if (picture.width <= 0 || picture.height <= 0) {
        fill(dst, background);
        return;
    }
    switch (layout) {
    case RectLayout::Tile:
        tile(picture, dst);
        break;
    case RectLayout::Center:
        center(picture, background, dst);
        break;
    case RectLayout::Stretch:
        resample_region(picture, 0, 0, 1, 1, dst);
        break;
    }
}

} // namespace velmaro::imaging
