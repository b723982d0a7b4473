#include "wallpaper/monitors.h"

#include "base/error.h"
#include "imaging/bmp_write.h"
#include "imaging/rect_layout.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace velmaro::wallpaper {

namespace {

std::int32_t read_i32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

// The rows of a 24-bit bottom-up bitmap file as the converter writes it, from the top
// row down (a negative stride).
imaging::ConstView bmp24_view(const std::vector<std::uint8_t>& file) {
    if (file.size() < 54)
        throw InvalidGraphic("Not a valid picture");
    const int width = read_i32(file.data() + 18), height = read_i32(file.data() + 22);
    const std::size_t stride = imaging::bmp24_stride(width);
    if (width <= 0 || height <= 0 || file.size() < 54 + stride * static_cast<std::size_t>(height))
        throw InvalidGraphic("Not a valid picture");
    return {file.data() + 54 + stride * static_cast<std::size_t>(height - 1), width, height,
            -static_cast<std::ptrdiff_t>(stride), 3};
}

MonitorPicture picture_of(std::vector<std::uint8_t> storage, imaging::ConstView view) {
    MonitorPicture p;
    p.storage = std::move(storage);
    p.view = view;
    return p;
}

// The same rows top-down with a positive stride, as the resampler needs them.
imaging::Raster top_down(imaging::ConstView v) {
    imaging::Raster raster(v.width, v.height, 3);
    for (int y = 0; y < v.height; ++y)
        std::memcpy(raster.view().row(y), v.row(y), static_cast<std::size_t>(v.width) * 3);
    return raster;
}

// The monitor whose top-left corner the system tiles the wallpaper from.
MonitorRect tiling_origin(const std::vector<Monitor>& monitors) {
    for (const Monitor& m : monitors)
        if (m.primary)
            return m.rect;
    return virtual_screen(monitors);
}

} // namespace

std::vector<Monitor> in_monitor_order(std::vector<Monitor> monitors) {
    std::stable_sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        return std::tuple(!a.primary, a.rect.left, a.rect.top) <
               std::tuple(!b.primary, b.rect.left, b.rect.top);
    });
    return monitors;
}

std::string monitor_key(const Monitor& m) {
    return m.device + " " + std::to_string(m.rect.left) + "," + std::to_string(m.rect.top) + "," +
           std::to_string(m.rect.width) + "," + std::to_string(m.rect.height);
}

MonitorRect virtual_screen(const std::vector<Monitor>& monitors) {
    if (monitors.empty())
        return {};
    int left = monitors[0].rect.left, top = monitors[0].rect.top;
    int right = left + monitors[0].rect.width, bottom = top + monitors[0].rect.height;
    for (const Monitor& m : monitors) {
        left = std::min(left, m.rect.left);
        top = std::min(top, m.rect.top);
        right = std::max(right, m.rect.left + m.rect.width);
        bottom = std::max(bottom, m.rect.top + m.rect.height);
    }
    return {left, top, right - left, bottom - top};
}

std::vector<std::string> pictures_after_change(const std::vector<Monitor>& monitors,
                                               const std::map<std::string, std::string>& remembered,
                                               const std::map<std::string, std::string>& chosen,
                                               std::map<std::string, std::string>& kept) {
    std::vector<std::string> pictures;
    kept.clear();
    for (const Monitor& m : monitors) {
        const std::string key = monitor_key(m);
        std::string picture;
        if (auto c = chosen.find(key); c != chosen.end())
            picture = c->second;
        else if (auto r = remembered.find(key); r != remembered.end())
            picture = r->second;
        if (!picture.empty())
            kept[key] = picture;
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

int wrapped(int offset, int size) {
    const int r = offset % size;
    return r < 0 ? r + size : r;
}

std::vector<std::uint8_t> compose_monitors(const std::vector<Monitor>& monitors,
                                           const std::function<MonitorPicture(std::size_t)>& picture,
                                           std::uint32_t background) {
    const MonitorRect screen = virtual_screen(monitors);
    if (screen.width <= 0 || screen.height <= 0 || screen.width > 1 << 16 || screen.height > 1 << 15)
        throw InvalidGraphic("No screen to fit the picture to");
    const MonitorRect origin = tiling_origin(monitors);
    const std::size_t stride = imaging::bmp24_stride(screen.width);
    std::vector<std::uint8_t> file;
    imaging::View whole;
    // The file is made once the first picture is rendered, so that the rendering's own
    // buffers and the whole desktop's bitmap are not held at the same time.
    auto make_file = [&] {
        file.resize(54 + stride * static_cast<std::size_t>(screen.height));
        imaging::put_bmp24_header(file.data(), screen.width, screen.height);
        // The file's rows run bottom-up: seen from its top row, the stride is negative.
        whole = {file.data() + 54 + stride * static_cast<std::size_t>(screen.height - 1), screen.width,
                 screen.height, -static_cast<std::ptrdiff_t>(stride), 3};
        imaging::fill(whole, background);
    };
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const MonitorRect& r = monitors[i].rect;
        const MonitorPicture shown = picture(i);
        if (file.empty())
            make_file();
        if (shown.view.width != r.width || shown.view.height != r.height || shown.view.channels != 3)
            continue;
        const int x0 = wrapped(r.left - origin.left, screen.width);
        // A monitor that straddles the tiling's edge continues at the bitmap's other side.
        const int first = std::min(r.width, screen.width - x0);
        for (int y = 0; y < r.height; ++y) {
            std::uint8_t* row = whole.row(wrapped(r.top - origin.top + y, screen.height));
            const std::uint8_t* src = shown.view.row(y);
            std::memcpy(row + std::ptrdiff_t{3} * x0, src, static_cast<std::size_t>(first) * 3);
            std::memcpy(row, src + std::ptrdiff_t{3} * first, static_cast<std::size_t>(r.width - first) * 3);
        }
    }
    if (file.empty())
        make_file();
    return file;
}

MonitorPicture bmp24_monitor_picture(std::vector<std::uint8_t> file) {
    const imaging::ConstView view = bmp24_view(file);
    return picture_of(std::move(file), view);
}

MonitorPicture render_for_monitor(const ImageConverter& converter, int id, const DisplayMode& mode, int width,
                                  int height, std::uint32_t background) {
    if (mode.fit) {
        return bmp24_monitor_picture(converter.screen_bmp_bytes(id, *mode.fit, {width, height, background}));
    }
    // Transparency over the desktop colour, as on every other path.
    const std::vector<std::uint8_t> file = converter.bmp_bytes(id, background);
    imaging::Raster shown(width, height, 3);
    const imaging::RectLayout layout = mode.layout;
    if (layout == imaging::RectLayout::Stretch)
        imaging::lay_out(top_down(bmp24_view(file)).view(), layout, background, shown.view());
    else
        imaging::lay_out(bmp24_view(file), layout, background, shown.view());
    const imaging::ConstView view = shown.view();
    return picture_of(std::move(shown.data), view);
}

} // namespace velmaro::wallpaper
