#include "imaging/system_codec.h"

#include "base/error.h"
#include "imaging/exif.h"
#include "imaging/limits.h"
#include "imaging/orientation.h"

#include <utility>

namespace velmaro::imaging {

namespace {

std::unique_ptr<SystemCodec>& installed() {
    static std::unique_ptr<SystemCodec> codec;
    return codec;
}

const SystemCodec& codec() {
    if (!installed())
        throw InvalidGraphic("No codec for this picture");
    return *installed();
}

void check_size(const CodecHeader& h) {
    if (h.width <= 0 || h.height <= 0)
        throw InvalidGraphic("Picture without pixels");
    if (std::int64_t{h.width} * h.height > kMaxPixels)
        throw InvalidGraphic("Picture too large");
}

} // namespace

void install_system_codec(std::unique_ptr<SystemCodec> codec) {
    installed() = std::move(codec);
}

CodecHeader read_codec_header(std::span<const std::uint8_t> file) {
    CodecHeader h = codec().read_header(file);
    check_size(h);
    return h;
}

Pixels decode_codec_picture(std::span<const std::uint8_t> file, std::uint32_t background) {
    int orientation = kOrientationAsStored;
    Pixels pixels = codec().decode(file, [&](const CodecHeader& h) {
        check_size(h);
        orientation = h.orientation;
    });
    if (pixels.empty() || pixels.bgra.size() != std::size_t{4} * pixels.width * pixels.height)
        throw InvalidGraphic("Picture without pixels");
    composite_over(pixels, background);
    return orient(std::move(pixels), orientation);
}

void composite_over(Pixels& pixels, std::uint32_t background) {
    const unsigned bg[3] = {background & 0xFF, (background >> 8) & 0xFF, (background >> 16) & 0xFF};
    std::uint8_t* p = pixels.bgra.data();
    for (std::size_t n = pixels.bgra.size() / 4; n > 0; --n, p += 4) {
        const unsigned a = p[3];
        if (a != 255) {
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>((p[c] * a + bg[c] * (255 - a)) / 255);
            p[3] = 255;
        }
    }
}

} // namespace velmaro::imaging
