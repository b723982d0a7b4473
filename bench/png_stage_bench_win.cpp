// A large PNG through the system's codecs as the program handles it, under the same
// system as the program (Wine in the project's runs): the preview (decode, transparency,
// and the fitted drawing into the preview's frame), the staged file written from the
// preview's pixels (what the wallpaper tick does for such a picture), and the
// converter's own route (header at the request, decode at the tick). Wall-clock times,
// the best of the runs, and the peak working set.
//   png_stage_bench.exe <picture> <staged.bmp> [runs]   (default: 3 runs)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file_write_win.h"
#include "base/handles_win.h"
#include "imaging/bmp_write.h"
#include "imaging/fit.h"
#include "imaging/picture.h"
#include "imaging/wic_win.h"
#include "wallpaper/converter.h"

namespace {

using namespace velmaro;

double now_ms() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The preview's drawing: the pixels scaled into the frame as the picture control does.
void draw_preview(const imaging::Pixels& px) {
    const imaging::FitRect r = imaging::fit_in_frame(px.width, px.height);
    HDC screen = GetDC(nullptr);
    UniqueMemDc dc(CreateCompatibleDC(screen));
    UniqueBitmap frame(
        CreateCompatibleBitmap(screen, imaging::kPreviewFrameWidth, imaging::kPreviewFrameHeight));
    ReleaseDC(nullptr, screen);
    SelectObjectScope keep(dc.get(), frame.get());
    SetStretchBltMode(dc.get(), HALFTONE);
    SetBrushOrgEx(dc.get(), 0, 0, nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), px.width, -px.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    StretchDIBits(dc.get(), r.x, r.y, r.width, r.height, 0, 0, px.width, px.height, px.bgra.data(), &bi,
                  DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: png_stage_bench <picture> <staged.bmp> [runs]\n");
        return 2;
    }
    const std::string picture = argv[1], staged = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    ComScope com;
    imaging::install_system_codec(imaging::make_wic_codec());
    constexpr std::uint32_t kBackground = 0x3A6EA5;

    double preview = 1e30, load = 1e30, from_preview = 1e30, converter_route = 1e30;
    int width = 0, height = 0;
    for (int i = 0; i < runs; ++i) {
        double t0 = now_ms();
        const imaging::Picture p = imaging::Picture::load_file(picture, kBackground);
        const double loaded = now_ms();
        draw_preview(p.pixels_for());
        double t1 = now_ms();
        write_file(staged, imaging::write_bmp24(p.pixels_for()));
        double t2 = now_ms();
        wallpaper::ImageConverter converter;
        const int id = converter.load(picture);
        write_file(staged, converter.bmp_bytes(id, kBackground));
        double t3 = now_ms();
        preview = std::min(preview, t1 - t0);
        load = std::min(load, loaded - t0);
        from_preview = std::min(from_preview, t2 - t1);
        converter_route = std::min(converter_route, t3 - t2);
        width = p.width();
        height = p.height();
    }
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(GetCurrentProcess(), &mem, sizeof mem);
    std::printf("picture %dx%d (%.1f MP), best of %d runs\n", width, height, width * double(height) / 1e6,
                runs);
    std::printf("preview (decode, transparency, fitted drawing): %.0f ms, of which the load %.0f ms\n",
                preview, load);
    std::printf("staged file from the preview's pixels: %.0f ms (preview + staging %.0f ms)\n", from_preview,
                preview + from_preview);
    std::printf("converter route (request + tick): %.0f ms\n", converter_route);
    std::printf("peak working set: %.0f MiB\n",
                static_cast<double>(mem.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return 0;
}
