#include "imaging/screen_fit.h"

#include "base/error.h"
#include "imaging/bmp_write.h"
#include "imaging/jpeg.h"
#include "imaging/orientation.h"
#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmaro::imaging {

namespace {

// The part of the stored picture that the upright fractions of a placement cover.
struct StoredRegion {
    double s0, t0, s1, t1;
};
StoredRegion stored_region(const ScreenPlacement& p, int orientation) {
    double sa = 0, ta = 0, sb = 0, tb = 0;
    upright_to_stored(orientation, p.u0, p.v0, sa, ta);
    upright_to_stored(orientation, p.u1, p.v1, sb, tb);
    return {std::min(sa, sb), std::min(ta, tb), std::max(sa, sb), std::max(ta, tb)};
}

// The shown rectangle's size as the stored picture runs (swapped for quarter turns).
Size stored_target(const ScreenPlacement& p, int orientation) {
    return upright_size(p.width, p.height, orientation);
}

// A 24-bit bottom-up bitmap file of the screen's size, background where the placement
// leaves the screen uncovered.
std::vector<std::uint8_t> background_file(const Screen& screen, const ScreenPlacement& p) {
    const std::size_t stride = bmp24_stride(screen.width);
    std::vector<std::uint8_t> file(54 + stride * static_cast<std::size_t>(screen.height));
    put_bmp24_header(file.data(), screen.width, screen.height);
    if (p.x == 0 && p.y == 0 && p.width == screen.width && p.height == screen.height)
        return file;
    const std::uint8_t b = screen.background & 0xFF, g = (screen.background >> 8) & 0xFF,
                       r = (screen.background >> 16) & 0xFF;
    for (int y = 0; y < screen.height; ++y) {
        std::uint8_t* row = file.data() + 54 + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < screen.width; ++x) {
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return file;
}

// The placement's rectangle of the file as a top-down view (the file runs bottom-up).
View placement_view(std::vector<std::uint8_t>& file, const Screen& screen, const ScreenPlacement& p) {
    const auto stride = static_cast<std::ptrdiff_t>(bmp24_stride(screen.width));
    std::uint8_t* top = file.data() + 54 + stride * (screen.height - 1 - p.y) + std::ptrdiff_t{3} * p.x;
    return View{top, p.width, p.height, -stride, 3};
}

void check_screen(const Screen& screen) {
    if (screen.width <= 0 || screen.height <= 0 || screen.width > 1 << 15 || screen.height > 1 << 15)
        throw InvalidGraphic("No screen to fit the picture to");
}

// Scales the shown part (the fractions of a region) of the stored picture straight into
// its place in the file, turned upright on the way.
template <typename Source>
std::vector<std::uint8_t> compose(const Source& stored, const StoredRegion& region, int orientation,
                                  const ScreenPlacement& p, const Screen& screen) {
    std::vector<std::uint8_t> file = background_file(screen, p);
    resample_region_upright(stored, region.s0, region.t0, region.s1, region.t1, orientation,
                            placement_view(file, screen, p));
    return file;
}

// A region of the whole picture as fractions of a decoded part of it.
StoredRegion within_part(const StoredRegion& r, const JpegPartPlace& part) {
    const double w = part.full_width, h = part.full_height;
    const double pw = part.width, ph = part.height;
    return {(r.s0 * w - part.left) / pw, (r.t0 * h - part.top) / ph, (r.s1 * w - part.left) / pw,
            (r.t1 * h - part.top) / ph};
}

} // namespace

ScreenPlacement place_on_screen(int w, int h, ScreenFit fit, int screen_w, int screen_h) {
    ScreenPlacement p;
    if (w <= 0 || h <= 0 || screen_w <= 0 || screen_h <= 0)
        return p;
    const double sx = static_cast<double>(screen_w) / w, sy = static_cast<double>(screen_h) / h;
    if (fit == ScreenFit::Fill) {
        // Scaled to cover; the overhang is cut in equal parts from both ends.
        const double scale = std::max(sx, sy);
        const double shown_u = std::min(1.0, screen_w / (w * scale));
        const double shown_v = std::min(1.0, screen_h / (h * scale));
        p.u0 = (1 - shown_u) / 2, p.u1 = 1 - p.u0;
        p.v0 = (1 - shown_v) / 2, p.v1 = 1 - p.v0;
        p.width = screen_w, p.height = screen_h;
        return p;
    }
    const double scale = std::min(sx, sy);
    p.width = std::clamp(static_cast<int>(std::lround(w * scale)), 1, screen_w);
    p.height = std::clamp(static_cast<int>(std::lround(h * scale)), 1, screen_h);
    p.x = (screen_w - p.width) / 2;
    p.y = (screen_h - p.height) / 2;
    return p;
}

std::vector<std::uint8_t> render_screen_bmp24(ConstView stored, int orientation, ScreenFit fit,
                                              const Screen& screen) {
    check_screen(screen);
    if (stored.width <= 0 || stored.height <= 0)
        throw InvalidGraphic("Not a valid picture");
    const Size up = upright_size(stored.width, stored.height, orientation);
    const ScreenPlacement p = place_on_screen(up.width, up.height, fit, screen.width, screen.height);
    return compose(stored, stored_region(p, orientation), orientation, p, screen);
}

std::vector<std::uint8_t> render_screen_bmp24(const Pixels& upright, ScreenFit fit, const Screen& screen) {
    const ConstView view{upright.bgra.data(), upright.width, upright.height,
                         static_cast<std::ptrdiff_t>(upright.width) * 4, 4};
    return render_screen_bmp24(view, 1, fit, screen);
}

std::vector<std::uint8_t> render_jpeg_screen_bmp24(std::span<const std::uint8_t> jpeg, ScreenFit fit,
                                                   const Screen& screen) {
    check_screen(screen);
    const JpegHeader header = read_jpeg_header(jpeg);
    const int orientation = header.orientation;
    const Size up = upright_size(header.width, header.height, orientation);
    const ScreenPlacement p = place_on_screen(up.width, up.height, fit, screen.width, screen.height);
    const StoredRegion region = stored_region(p, orientation);
    const Size target = stored_target(p, orientation);
    // The decoder's scale is the smallest whose shown part still has the target's pixels;
    // only the shown part (and the filter's reach around it) is decoded.
    const int min_w = static_cast<int>(std::ceil(target.width / std::max(region.s1 - region.s0, 1e-9)));
    const int min_h = static_cast<int>(std::ceil(target.height / std::max(region.t1 - region.t0, 1e-9)));
    // The decoded rows go to the resampler as they come: the part is never held whole.
    JpegPartRows part(jpeg, min_w, min_h, region.s0, region.t0, region.s1, region.t1, kFilterReach);
    const JpegPartPlace place = part.place();
    const RowSource rows{place.width, place.height, 3, [&part](int y) { return part.row(y); }};
    return compose(rows, within_part(region, place), orientation, p, screen);
}

} // namespace velmaro::imaging
