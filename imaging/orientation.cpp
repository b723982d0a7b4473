#include "imaging/orientation.h"

#include "imaging/exif.h"

#include <utility>

namespace velmaro::imaging {

namespace {

bool known(int orientation) {
    return orientation >= 1 && orientation <= 8;
}

// The stored pixel shown at upright (x, y), for a stored w x h picture.
struct SourceOf {
    int orientation, w, h;
    void operator()(int x, int y, int& sx, int& sy) const {
        switch (orientation) {
        case 2:
            sx = w - 1 - x, sy = y;
            break;
        case 3:
            sx = w - 1 - x, sy = h - 1 - y;
            break;
        case 4:
            sx = x, sy = h - 1 - y;
            break;
        case 5:
            sx = y, sy = x;
            break;
        case 6:
            sx = y, sy = h - 1 - x;
            break;
        case 7:
            sx = w - 1 - y, sy = h - 1 - x;
            break;
        case 8:
            sx = w - 1 - y, sy = x;
            break;
        default:
            sx = x, sy = y;
        }
    }
};

} // namespace

Size upright_size(int stored_width, int stored_height, int orientation) {
    if (orientation_swaps_axes(orientation))
        return {stored_height, stored_width};
    return {stored_width, stored_height};
}

void orient_into(ConstView src, int orientation, View dst) {
    if (!known(orientation))
        orientation = kOrientationAsStored;
    const Size up = upright_size(src.width, src.height, orientation);
    if (up.width != dst.width || up.height != dst.height)
        return;
    const SourceOf source{orientation, src.width, src.height};
    const int sc = src.channels, dc = dst.channels;
    for (int y = 0; y < dst.height; ++y) {
        std::uint8_t* out = dst.row(y);
        for (int x = 0; x < dst.width; ++x, out += dc) {
            int sx = 0, sy = 0;
            source(x, y, sx, sy);
            const std::uint8_t* in = src.row(sy) + static_cast<std::ptrdiff_t>(sx) * sc;
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if (dc == 4)
                out[3] = 255;
        }
    }
}

Pixels orient(Pixels pixels, int orientation) {
    if (!known(orientation) || orientation == kOrientationAsStored || pixels.empty())
        return pixels;
    const Size up = upright_size(pixels.width, pixels.height, orientation);
    Pixels out;
    out.width = up.width;
    out.height = up.height;
    out.bgra.resize(pixels.bgra.size());
    const ConstView src{pixels.bgra.data(), pixels.width, pixels.height,
                        static_cast<std::ptrdiff_t>(pixels.width) * 4, 4};
    orient_into(src, orientation,
                View{out.bgra.data(), out.width, out.height, static_cast<std::ptrdiff_t>(out.width) * 4, 4});
    return out;
}

void stored_to_upright(int orientation, int w, int h, int x, int y, int& ux, int& uy) {
    switch (orientation) {
    case 2:
        ux = w - 1 - x, uy = y;
        break;
    case 3:
        ux = w - 1 - x, uy = h - 1 - y;
        break;
    case 4:
        ux = x, uy = h - 1 - y;
        break;
    case 5:
        ux = y, uy = x;
        break;
    case 6:
        ux = h - 1 - y, uy = x;
        break;
    case 7:
        ux = h - 1 - y, uy = w - 1 - x;
        break;
    case 8:
        ux = y, uy = w - 1 - x;
        break;
    default:
        ux = x, uy = y;
    }
}

void upright_to_stored(int orientation, double u, double v, double& s, double& t) {
    switch (orientation) {
    case 2:
        s = 1 - u, t = v;
        break;
    case 3:
        s = 1 - u, t = 1 - v;
        break;
    case 4:
        s = u, t = 1 - v;
        break;
    case 5:
        s = v, t = u;
        break;
    case 6:
        s = v, t = 1 - u;
        break;
    case 7:
        s = 1 - v, t = 1 - u;
        break;
    case 8:
        s = 1 - v, t = u;
        break;
    default:
        s = u, t = v;
    }
}

} // namespace velmaro::imaging
