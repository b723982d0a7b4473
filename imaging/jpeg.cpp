#include "imaging/jpeg.h"

#include "base/error.h"

namespace velmaro::imaging {

JpegHeader read_jpeg_header(std::span<const std::uint8_t>) { throw InvalidGraphic("Not a valid JPEG picture"); }
int jpeg_scale_eighths(const JpegHeader&, int, int) { return 8; }
Pixels decode_jpeg(std::span<const std::uint8_t>, int, int, const DecodeProgress&) {
    throw InvalidGraphic("Not a valid JPEG picture");
}
std::vector<std::uint8_t> jpeg_to_bmp24(std::span<const std::uint8_t>) {
    throw InvalidGraphic("Not a valid JPEG picture");
}

} // namespace velmaro::imaging
