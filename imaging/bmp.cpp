#include "imaging/bmp.h"

#include "base/error.h"

namespace velmaro::imaging {

BmpImage BmpImage::parse(std::span<const std::uint8_t>) { throw InvalidGraphic("Not a valid bitmap picture"); }
Pixels BmpImage::to_pixels() const { return {}; }
std::vector<std::uint8_t> BmpImage::to_bmp_file() const { return {}; }

} // namespace velmaro::imaging
