// The system's own display modes drawn by the program into a rectangle: what "Tile",
// "Center" and "Strech" show on a screen of that size, for the staged picture that
// covers several monitors at once (each monitor laid out as if it were alone).
#pragma once

#include "imaging/raster.h"

#include <cstdint>

namespace velmaro::imaging {

enum class RectLayout { Tile, Center, Stretch };

// Draws an upright picture into the whole of `dst` (both 3 channels, B G R): Tile repeats
// it from the top-left corner; Center puts its middle on the middle, cut where it is
// larger and `background` (0x00RRGGBB) around it where it is smaller; Stretch scales it
// to the rectangle's size whatever its proportions.
void lay_out(ConstView picture, RectLayout layout, std::uint32_t background, View dst);

// Fills the view with one colour (0x00RRGGBB).
void fill(View dst, std::uint32_t rgb);

} // namespace velmaro::imaging
