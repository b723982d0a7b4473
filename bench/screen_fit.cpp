// Fit and Fill of a JPEG file at a screen's size, as the wallpaper tick does them, as a
// program of its own so that its time and peak memory can be measured from outside:
//   velmaro_screen_fit fill|fit|full IN.jpg W H OUT.bmp
// "full" decodes the same file at full size instead (the reference for the ratio) and
// writes nothing.
#include "imaging/screen_fit.h"
#include "base/file_read.h"
#include "imaging/jpeg.h"
#include "wallpaper/converter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    using namespace velmaro;
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s fill|fit|full IN.jpg W H OUT.bmp\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::vector<std::uint8_t> jpeg = velmaro::read_whole_file(argv[2]);
    if (mode == "full") {
        const imaging::Raster full = imaging::decode_jpeg_bgr(jpeg, 0, 0);
        std::printf("%d x %d\n", full.width, full.height);
        return 0;
    }
    const imaging::Screen screen{std::atoi(argv[3]), std::atoi(argv[4]), 0x3A6EA5};
    const auto fit = mode == "fit" ? imaging::ScreenFit::Fit : imaging::ScreenFit::Fill;
    const std::vector<std::uint8_t> bmp = imaging::render_jpeg_screen_bmp24(jpeg, fit, screen);
    std::FILE* out = std::fopen(argv[5], "wb");
    if (!out || std::fwrite(bmp.data(), 1, bmp.size(), out) != bmp.size() || std::fclose(out) != 0)
        return 1;
    return 0;
}
