// Scaling pictures the way a photo deserves: in linear light (the 8-bit values taken as
// sRGB), with a Catmull-Rom filter, through zimg.
#pragma once

#include "imaging/raster.h"

#include <cstdint>
#include <functional>

namespace velmaro::imaging {

// How far, in pixels of the scaled picture, the filter reaches beyond each of its pixels:
// the source needs that much around the part that is scaled.
inline constexpr int kFilterReach = 2;

// The part of the source between the fractions s0..s1 of its width and t0..t1 of its
// height, scaled to fill the whole of `dst`. Either view has 3 (B, G, R) or 4 channels (a
// fourth is not scaled: it is set to 255 in `dst`); the source runs top-down, `dst` either
// way.
// Throws velmaro::Error when the resampler cannot work (no memory).
void resample_region(ConstView src, double s0, double t0, double s1, double t1, View dst);

// The same, the scaled part turned upright by an Exif `orientation` (see exif.h) on its way
// into `upright`, whose size is the upright size of the scaled part.
void resample_region_upright(ConstView src, double s0, double t0, double s1, double t1, int orientation,
                             View upright);

// A source read a row at a time, as a decoder gives them: row(y) points at row y's pixels
// and stays valid until the next call. Each row is asked for at most once, from the top
// down, and only a few rows around the one being scaled are held (where zimg would go down
// a very wide picture in strips of columns, the rows are held whole instead, still read
// once); the result is the same as from a view. A row that throws ends the scaling with its
// exception.
struct RowSource {
    int width = 0, height = 0, channels = 0;
    std::function<const std::uint8_t*(int y)> row;
};
void resample_region_upright(const RowSource& src, double s0, double t0, double s1, double t1,
                             int orientation, View upright);

} // namespace velmaro::imaging
