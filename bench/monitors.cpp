// The staged bitmap of a picture per monitor, as the wallpaper tick makes it, as a
// program of its own so that its time and peak memory can be measured from outside:
//   velmaro_monitors compose A.jpg B.jpg OUT.bmp   a 3840 x 2160 primary with A filled and
//                                                  a 1920 x 1080 monitor left of it with B
//   velmaro_monitors fill IN.jpg W H               one Fill at W x H (the reference)
#include "wallpaper/monitors.h"
#include "wallpaper/converter.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const velmaro::wallpaper::DisplayMode& kFill = velmaro::wallpaper::display_mode(4);
constexpr std::uint32_t kBackground = 0x3A6EA5;

} // namespace

int main(int argc, char** argv) {
    using namespace velmaro::wallpaper;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "fill" && argc == 5) {
        ImageConverter converter;
        const int id = converter.load(argv[2]);
        const auto shown =
            render_for_monitor(converter, id, kFill, std::atoi(argv[3]), std::atoi(argv[4]), kBackground);
        return shown.view.width > 0 ? 0 : 1;
    }
    if (mode != "compose" || argc != 5) {
        std::fprintf(stderr, "usage: %s compose A.jpg B.jpg OUT.bmp | fill IN.jpg W H\n", argv[0]);
        return 2;
    }
    const std::vector<Monitor> monitors{{"\\\\.\\DISPLAY1", {0, 0, 3840, 2160}, true},
                                        {"\\\\.\\DISPLAY2", {-1920, 0, 1920, 1080}, false}};
    const std::vector<std::uint8_t> bmp = compose_monitors(
        monitors,
        [&](std::size_t i) {
            ImageConverter converter;
            const int id = converter.load(argv[2 + i]);
            return render_for_monitor(converter, id, kFill, monitors[i].rect.width, monitors[i].rect.height,
                                      kBackground);
        },
        kBackground);
    std::FILE* out = std::fopen(argv[4], "wb");
    if (!out || std::fwrite(bmp.data(), 1, bmp.size(), out) != bmp.size() || std::fclose(out) != 0)
        return 1;
    return 0;
}
