// Writing decoded pixels as a 24-bit bitmap file (for the wallpaper converter).
#pragma once

#include "imaging/pixels.h"

#include <cstdint>
#include <vector>

namespace velmaro::imaging {

// A bottom-up 24-bit BMP: 14-byte file header, 40-byte info header, no colour table,
// rows padded to 4 bytes. Throws velmaro::InvalidGraphic for an empty picture.
std::vector<std::uint8_t> write_bmp24(const Pixels& pixels);

// Sizes of that layout, shared with the JPEG converter that decodes straight into it.
std::size_t bmp24_stride(int width);
// Fills the 54 header bytes of a 24-bit bottom-up file for width x height.
void put_bmp24_header(std::uint8_t* out54, int width, int height);

} // namespace velmaro::imaging
