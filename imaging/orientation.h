// Turning and mirroring pictures upright by their Exif orientation (see exif.h).
#pragma once

#include "imaging/pixels.h"
#include "imaging/raster.h"

namespace velmaro::imaging {

// The upright size of a stored w x h picture.
struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};
Size upright_size(int stored_width, int stored_height, int orientation);

// Writes `src` turned upright into `dst`, whose size must be the upright size. The first
// three channels are copied; a fourth channel of `dst` alone is set to 255.
void orient_into(ConstView src, int orientation, View dst);

// The BGRA picture upright (the same picture for orientation 1 or any unknown value).
Pixels orient(Pixels pixels, int orientation);

// Where the pixel (x, y) of a stored w x h picture lies in the upright picture.
void stored_to_upright(int orientation, int w, int h, int x, int y, int& upright_x, int& upright_y);

// Where a point of the upright picture, given as fractions (u, v) of its width and
// height, lies in the stored picture, as fractions of the stored width and height.
void upright_to_stored(int orientation, double u, double v, double& s, double& t);

} // namespace velmaro::imaging
