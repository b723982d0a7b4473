// A different picture on each monitor: the monitors' order and names, what each shows
// after a change, the layouts drawn into a monitor's rectangle, and the one staged
// bitmap, checked by tiling it over the desktop from the primary's corner as the system
// does.
#include "imaging/bmp_write.h"
#include "imaging/rect_layout.h"
#include "wallpaper/monitors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace velmaro::wallpaper {
namespace {

using Pictures = std::map<std::string, std::string>;

Monitor monitor(const char* device, int left, int top, int width, int height, bool primary = false) {
    return {device, {left, top, width, height}, primary};
}

imaging::Raster solid(int w, int h, std::uint32_t rgb) {
    imaging::Raster r(w, h, 3);
    imaging::fill(r.view(), rgb);
    return r;
}

// A monitor's picture of one colour.
MonitorPicture solid_picture(int w, int h, std::uint32_t rgb) {
    imaging::Raster r = solid(w, h, rgb);
    MonitorPicture p;
    p.view = r.view();
    p.storage = std::move(r.data);
    return p;
}

std::uint32_t rgb_at(imaging::ConstView v, int x, int y) {
    const std::uint8_t* px = v.row(y) + 3 * x;
    return std::uint32_t{px[2]} << 16 | std::uint32_t{px[1]} << 8 | px[0];
}

std::int32_t i32_at(const std::vector<std::uint8_t>& file, std::size_t at) {
    std::int32_t v = 0;
    std::memcpy(&v, file.data() + at, 4);
    return v;
}

// What the desktop shows with the staged file tiled from the primary's top-left corner,
// copy after copy in every direction: the colour at each desktop point.
std::map<std::pair<int, int>, std::uint32_t> tiled_desktop(const std::vector<std::uint8_t>& file,
                                                           const std::vector<Monitor>& monitors) {
    const int w = i32_at(file, 18), h = i32_at(file, 22);
    const auto stride = static_cast<std::ptrdiff_t>(imaging::bmp24_stride(w));
    const imaging::ConstView bitmap{file.data() + 54 + stride * (h - 1), w, h, -stride, 3};
    const MonitorRect all = virtual_screen(monitors);
    int ox = 0, oy = 0;
    for (const Monitor& m : monitors)
        if (m.primary)
            ox = m.rect.left, oy = m.rect.top;
    // The first copy's corner at or before the virtual screen's top-left.
    int tx = ox, ty = oy;
    while (tx > all.left)
        tx -= w;
    while (ty > all.top)
        ty -= h;
    std::map<std::pair<int, int>, std::uint32_t> desktop;
    for (int cy = ty; cy < all.top + all.height; cy += h)
        for (int cx = tx; cx < all.left + all.width; cx += w)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (cx + x >= all.left && cx + x < all.left + all.width && cy + y >= all.top &&
                        cy + y < all.top + all.height)
                        desktop[{cx + x, cy + y}] = rgb_at(bitmap, x, y);
    return desktop;
}

constexpr std::uint32_t kBackground = 0x3A6EA5;
const std::uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

// Composes each monitor in its own colour and checks every desktop pixel: each monitor
// shows its own colour, the parts of the virtual screen outside all monitors the background.
void expect_each_on_its_own(const std::vector<Monitor>& layout) {
    const std::vector<Monitor> ordered = in_monitor_order(layout);
    const auto file = compose_monitors(
        ordered,
        [&](std::size_t i) {
            return solid_picture(ordered[i].rect.width, ordered[i].rect.height, kColours[i]);
        },
        kBackground);
    const MonitorRect all = virtual_screen(ordered);
    ASSERT_EQ(i32_at(file, 18), all.width);
    ASSERT_EQ(i32_at(file, 22), all.height);
    ASSERT_EQ(file.size(), 54 + imaging::bmp24_stride(all.width) * static_cast<std::size_t>(all.height));
    const auto desktop = tiled_desktop(file, ordered);
    for (int y = all.top; y < all.top + all.height; ++y)
        for (int x = all.left; x < all.left + all.width; ++x) {
            std::uint32_t expected = kBackground;
            for (std::size_t i = 0; i < ordered.size(); ++i) {
                const MonitorRect& r = ordered[i].rect;
                if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
                    expected = kColours[i];
            }
            ASSERT_EQ(desktop.at({x, y}), expected) << "desktop point " << x << "," << y;
        }
}

TEST(MonitorOrder, PrimaryFirstThenLeftToRightAndTopToBottom) {
    const auto ordered = in_monitor_order({monitor("D3", 40, 0, 10, 10), monitor("D4", -20, 10, 20, 10),
                                           monitor("D1", 0, 0, 40, 30, true), monitor("D2", -20, 0, 20, 10)});
    std::vector<std::string> names;
    for (const Monitor& m : ordered)
        names.push_back(m.device);
    EXPECT_EQ(names, (std::vector<std::string>{"D1", "D2", "D4", "D3"}));
    EXPECT_EQ(monitor_key(ordered[1]), "D2 -20,0,20,10");
    EXPECT_EQ(virtual_screen(ordered), (MonitorRect{-20, 0, 70, 30}));
}

TEST(MonitorComposition, TheTestRigLayoutIsLeftAndRightOfTheFile) {
    // The two Xinerama screens, scaled down by 16: 80 x 64 primary, 64 x 48 beside it.
    const std::vector<Monitor> rig{monitor("D1", 0, 0, 80, 64, true), monitor("D2", 80, 0, 64, 48)};
    const auto file = compose_monitors(
        rig, [&](std::size_t i) { return solid_picture(rig[i].rect.width, rig[i].rect.height, kColours[i]); },
        kBackground);
    const auto stride = static_cast<std::ptrdiff_t>(imaging::bmp24_stride(144));
    const imaging::ConstView top_down{file.data() + 54 + stride * 63, 144, 64, -stride, 3};
    EXPECT_EQ(rgb_at(top_down, 0, 0), kColours[0]);
    EXPECT_EQ(rgb_at(top_down, 79, 63), kColours[0]);
    EXPECT_EQ(rgb_at(top_down, 80, 0), kColours[1]);
    EXPECT_EQ(rgb_at(top_down, 143, 47), kColours[1]);
    EXPECT_EQ(rgb_at(top_down, 80, 48), kBackground) << "below the smaller monitor";
    expect_each_on_its_own(rig);
}

TEST(MonitorComposition, MonitorsLeftOfAndAboveThePrimaryWrapRoundTheFile) {
    // Left of the primary: negative coordinates.
    expect_each_on_its_own({monitor("D1", 0, 0, 40, 32, true), monitor("D2", -32, 0, 32, 24)});
    // Above and shifted left so that it straddles the primary's left edge: its columns
    // split between both ends of the file.
    expect_each_on_its_own({monitor("D1", 0, 0, 40, 30, true), monitor("D2", -15, -30, 40, 30)});
    // Three monitors, one diagonal with gaps of background, one below.
    expect_each_on_its_own(
        {monitor("D1", 0, 0, 30, 20, true), monitor("D2", -25, -18, 20, 15), monitor("D3", 10, 20, 24, 12)});
}

TEST(MonitorComposition, AMonitorWithoutAPictureShowsTheBackground) {
    const std::vector<Monitor> two{monitor("D1", 0, 0, 8, 6, true), monitor("D2", 8, 0, 8, 6)};
    const auto file = compose_monitors(
        two, [&](std::size_t i) { return i == 0 ? solid_picture(8, 6, kColours[0]) : MonitorPicture{}; },
        kBackground);
    const auto desktop = tiled_desktop(file, two);
    EXPECT_EQ(desktop.at({7, 5}), kColours[0]);
    EXPECT_EQ(desktop.at({8, 0}), kBackground);
}

TEST(MonitorPictures, ChosenReplaceRememberedAndGoneMonitorsAreForgotten) {
    const std::vector<Monitor> now{monitor("D1", 0, 0, 10, 10, true), monitor("D2", 10, 0, 10, 10),
                                   monitor("D3", 20, 0, 10, 10)};
    const Pictures remembered{{"D1 0,0,10,10", "a.jpg"},
                              {"D2 10,0,10,10", "b.jpg"},
                              {"D2 10,0,20,20", "resized.jpg"}, // the same device, since resized
                              {"D9 0,0,10,10", "gone.jpg"}};
    Pictures kept;
    const auto shown = pictures_after_change(now, remembered, {{"D2 10,0,10,10", "new.jpg"}}, kept);
    EXPECT_EQ(shown, (std::vector<std::string>{"a.jpg", "new.jpg", ""})) << "D3 is new: nothing yet";
    EXPECT_EQ(kept, (Pictures{{"D1 0,0,10,10", "a.jpg"}, {"D2 10,0,10,10", "new.jpg"}}));
}

// A 3 x 2 picture whose pixels are all different.
imaging::Raster numbered() {
    imaging::Raster r(3, 2, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* px = r.view().row(y) + 3 * x;
            px[0] = static_cast<std::uint8_t>(10 * y + x), px[1] = 0, px[2] = 0;
        }
    return r;
}

TEST(RectLayout, TileRepeatsFromTheTopLeftCenterCutsOrSurrounds) {
    const imaging::Raster pic = numbered();
    imaging::Raster tiled(7, 5, 3);
    imaging::lay_out(pic.view(), imaging::RectLayout::Tile, kBackground, tiled.view());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(rgb_at(tiled.view(), x, y), rgb_at(pic.view(), x % 3, y % 2)) << x << "," << y;

    imaging::Raster around(7, 6, 3);
    imaging::lay_out(pic.view(), imaging::RectLayout::Center, kBackground, around.view());
    EXPECT_EQ(rgb_at(around.view(), 2, 2), rgb_at(pic.view(), 0, 0));
    EXPECT_EQ(rgb_at(around.view(), 4, 3), rgb_at(pic.view(), 2, 1));
    EXPECT_EQ(rgb_at(around.view(), 1, 2), kBackground);
    EXPECT_EQ(rgb_at(around.view(), 5, 3), kBackground);
    EXPECT_EQ(rgb_at(around.view(), 3, 4), kBackground);

    imaging::Raster cut(1, 1, 3);
    imaging::lay_out(pic.view(), imaging::RectLayout::Center, kBackground, cut.view());
    EXPECT_EQ(rgb_at(cut.view(), 0, 0), rgb_at(pic.view(), 1, 0)) << "a larger picture shows its middle";
}

TEST(RectLayout, StretchFillsTheRectangleWhateverItsProportions) {
    imaging::Raster halves(4, 4, 3);
    imaging::fill(imaging::View{halves.data.data(), 2, 4, halves.stride(), 3}, 0xFF0000);
    imaging::fill(imaging::View{halves.data.data() + 6, 2, 4, halves.stride(), 3}, 0x0000FF);
    imaging::Raster wide(40, 10, 3);
    imaging::lay_out(halves.view(), imaging::RectLayout::Stretch, kBackground, wide.view());
    EXPECT_EQ(rgb_at(wide.view(), 0, 0), 0xFF0000u);
    EXPECT_EQ(rgb_at(wide.view(), 10, 9), 0xFF0000u);
    EXPECT_EQ(rgb_at(wide.view(), 29, 0), 0x0000FFu);
    EXPECT_EQ(rgb_at(wide.view(), 39, 9), 0x0000FFu);
}

} // namespace
} // namespace velmaro::wallpaper
