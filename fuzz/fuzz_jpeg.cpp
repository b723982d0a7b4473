// JPEG reading on hostile input: the header, the scaled preview decode, the full decode
// straight to a 24-bit bitmap and the decode of a part of the picture (rows skipped,
// columns cut, in turn or on a second thread) either fail as an invalid picture or agree
// with each other; Fill at a
// screen's size gives a file of that size. Never a crash, never an exit from inside libjpeg.
#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging/jpeg.h"
#include "imaging/orientation.h"
#include "imaging/screen_fit.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace velmaro::imaging;

namespace {
// Arithmetic-coded streams may declare very large pictures in a few bytes, legitimately;
// decoding those is slow and proves nothing more, so only their header is read.
constexpr std::int64_t kMostPixelsDecoded = std::int64_t{1} << 22;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    JpegHeader header;
    try {
        header = read_jpeg_header(file);
    } catch (const velmaro::InvalidGraphic&) {
        return 0;
    }
    if (header.width <= 0 || header.height <= 0)
        std::abort();
    if (std::int64_t{header.width} * header.height > kMostPixelsDecoded)
        return 0;

    try {
        const int scale = jpeg_scale_eighths(header, 16, 16);
        const Pixels preview = decode_jpeg(file, 16, 16, [](const Pixels& p, int rows) {
            if (rows <= 0 || rows >= p.height)
                std::abort();
        });
        if (preview.width != (header.width * scale + 7) / 8 ||
            preview.height != (header.height * scale + 7) / 8)
            std::abort();
    } catch (const velmaro::InvalidGraphic&) {
    }

    try {
        const Pixels full = decode_jpeg(file);
        if (full.width != header.width || full.height != header.height)
            std::abort();
        const std::vector<std::uint8_t> bmp = jpeg_to_bmp24(file);
        if (BmpImage::parse(bmp).to_pixels().bgra != orient(full, header.orientation).bgra)
            std::abort();
        const Raster whole = decode_jpeg_bgr(file, 0, 0);
        const JpegPart part = decode_jpeg_part_bgr(file, 0, 0, 0.3, 0.4, 0.7, 0.9, 0);
        // Where columns are cut, libjpeg's smooth chroma upsampling may take the cut for the
        // picture's edge: those columns alone may differ.
        const int first = part.left > 0 ? 1 : 0;
        const int last = part.pixels.width - (part.left + part.pixels.width < whole.width ? 1 : 0);
        for (int y = 0; y < part.pixels.height; ++y)
            for (int x = first * 3; x < last * 3; ++x)
                if (part.pixels.view().row(y)[x] != whole.view().row(part.top + y)[part.left * 3 + x])
                    std::abort();
        JpegPartRows ahead(file, 0, 0, 0.3, 0.4, 0.7, 0.9, 0, PartDecoding::Ahead);
        for (int y = 0; y < part.pixels.height; ++y)
            if (std::memcmp(ahead.row(y), part.pixels.view().row(y),
                            static_cast<std::size_t>(part.pixels.stride())))
                std::abort();
    } catch (const velmaro::InvalidGraphic&) {
    }

    try {
        const std::vector<std::uint8_t> fill =
            render_jpeg_screen_bmp24(file, ScreenFit::Fill, Screen{24, 16, 0});
        if (fill.size() != 54 + 72 * 16)
            std::abort();
    } catch (const velmaro::InvalidGraphic&) {
    }
    return 0;
}
