// Bitmap reading and writing on hostile input: any bytes either fail as an invalid
// picture or give a bitmap whose rewritten file reads back to the same picture.
#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging/bmp_write.h"

#include <cstdint>
#include <cstdlib>

using namespace velmaro::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const BmpImage source = BmpImage::parse({data, size});
        const Pixels pixels = source.to_pixels();
        if (pixels.width != source.width() || pixels.height != source.height())
            std::abort();

        // What the staged wallpaper file would hold must read back as the same picture.
        const std::vector<std::uint8_t> staged = source.to_bmp_file();
        const BmpImage again = BmpImage::parse(staged);
        if (again.to_pixels().bgra != pixels.bgra || again.to_bmp_file() != staged)
            std::abort();

        // And so must the converter's 24-bit file.
        const BmpImage flat = BmpImage::parse(write_bmp24(pixels));
        if (flat.to_pixels().bgra != pixels.bgra)
            std::abort();
    } catch (const velmaro::InvalidGraphic&) {
    }
    return 0;
}
