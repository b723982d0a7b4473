#include "imaging/resample.h"

#include "base/error.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

namespace velmaro::imaging {

void resample_region(ConstView src, double s0, double t0, double s1, double t1, View dst) {
    if (src.channels != dst.channels || src.stride <= 0 || dst.stride <= 0 || src.width <= 0 ||
        src.height <= 0 || dst.width <= 0 || dst.height <= 0)
        throw Error("Cannot scale the picture");
    // A fourth channel is plain data here (always opaque), so no alpha weighting.
    const int ok = stbir_resize_region(
        src.data, src.width, src.height, static_cast<int>(src.stride), dst.data, dst.width, dst.height,
        static_cast<int>(dst.stride), STBIR_TYPE_UINT8, src.channels, STBIR_ALPHA_CHANNEL_NONE, 0,
        STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_FILTER_CATMULLROM,
        STBIR_COLORSPACE_SRGB, nullptr, static_cast<float>(s0), static_cast<float>(t0),
        static_cast<float>(s1), static_cast<float>(t1));
    if (!ok)
        throw Error("Cannot scale the picture");
}

} // namespace velmaro::imaging
