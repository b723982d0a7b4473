// Decoded pixels as every drawing path wants them: top-down rows of 4 bytes per pixel
// in the order B, G, R, A (A always 255), no row padding. This is exactly the memory
// layout of a 32-bit top-down device-independent bitmap, so a GDI caller can hand
// `bgra.data()` to StretchDIBits with a negative height and no conversion.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace velmaro::imaging {

struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgra; // width * height * 4 bytes

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t* row(int y) { return bgra.data() + static_cast<std::size_t>(y) * width * 4; }
    const std::uint8_t* row(int y) const { return bgra.data() + static_cast<std::size_t>(y) * width * 4; }
};

// Called while a picture decodes, for incremental display: `partial` already has its
// final size; rows [0, rows_done) hold decoded pixels, the rest are still zero.
// It may throw; the decode then stops and the exception propagates to the caller.
using DecodeProgress = std::function<void(const Pixels& partial, int rows_done)>;

} // namespace velmaro::imaging
