#include "imaging/system_codec.h"

#include "base/error.h"
#include "imaging/exif.h"
#include "imaging/gif_screen.h"
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

// The picture the program will show, and how many whole copies of it are held at once
// (the decoded one, and the one it is laid out or turned into).
struct Shown {
    CodecHeader header;
    int copies = 1;
};

// A GIF's frame on its logical screen, and a TIFF's orientation read by our own reader
// rather than the codec's metadata query, which a broken directory chain can make fail
// badly.
Shown as_shown(CodecHeader h, std::span<const std::uint8_t> file) {
    int copies = 1;
    if (const auto place = gif_first_frame_place(file);
        place && h.width == place->frame_width && h.height == place->frame_height &&
        (h.width != place->screen_width || h.height != place->screen_height)) {
        h.width = place->screen_width;
        h.height = place->screen_height;
        ++copies;
    }
    if (is_tiff(file))
        h.orientation = tiff_orientation(file);
    if (h.orientation != kOrientationAsStored)
        ++copies;
    return {h, copies};
}

// Refused before any pixels are asked for: an empty picture, one past the ceiling, and
// one whose decoded copy and turned copy together the file's bytes do not justify.
void check_size(const Shown& shown, std::size_t file_size) {
    const CodecHeader& h = shown.header;
    if (h.width <= 0 || h.height <= 0)
        throw InvalidGraphic("Picture without pixels");
    const std::int64_t pixels = std::int64_t{h.width} * h.height;
    if (pixels > kMaxPixels)
        throw InvalidGraphic("Picture too large");
    const std::int64_t bytes = 4 * pixels * shown.copies;
    if (bytes > kMaxCodecBytes || (bytes > kCodecAlwaysAllowedBytes &&
                                   bytes / kMaxCodecBytesPerFileByte > static_cast<std::int64_t>(file_size)))
        throw InvalidGraphic("Picture too large");
}

} // namespace

void install_system_codec(std::unique_ptr<SystemCodec> codec) {
    installed() = std::move(codec);
}

CodecHeader read_codec_header(std::span<const std::uint8_t> file) {
    const Shown shown = as_shown(codec().read_header(file), file);
    check_size(shown, file.size());
    return shown.header;
}

Pixels decode_codec_picture(std::span<const std::uint8_t> file, std::uint32_t background) {
    int orientation = kOrientationAsStored;
    Pixels pixels = codec().decode(file, [&](const CodecHeader& stored) {
        const Shown shown = as_shown(stored, file);
        check_size(shown, file.size());
        orientation = shown.header.orientation;
    });
    if (pixels.empty() || pixels.bgra.size() != std::size_t{4} * pixels.width * pixels.height)
        throw InvalidGraphic("Picture without pixels");
    if (const auto place = gif_first_frame_place(file))
        pixels = place_gif_frame(std::move(pixels), *place);
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
