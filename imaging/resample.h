// Scaling pictures the way a photo deserves: in linear light (the 8-bit values taken as
// sRGB), with a Catmull-Rom filter, through stb_image_resize.
#pragma once

#include "imaging/raster.h"

namespace velmaro::imaging {

// The part of the source between the fractions s0..s1 of its width and t0..t1 of its
// height, scaled to fill the whole of `dst`. Both views have the same channel count (3 or
// 4) and run top-down. Throws velmaro::Error when the resampler cannot work (no memory).
void resample_region(ConstView src, double s0, double t0, double s1, double t1, View dst);

} // namespace velmaro::imaging
