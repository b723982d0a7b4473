#include "wallpaper/stager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/error.h"
#include "base/file_read.h"
#include "imaging/bmp.h"
#include "imaging/jpeg.h"

namespace velmaro::wallpaper {

namespace {

std::string data(const char* name) {
    return std::string(VELMARO_TESTDATA_DIR) + "/" + name;
}

const imaging::Screen kScreen{64, 48, 0x112233};

int bmp_width(const std::vector<std::uint8_t>& f) {
    return imaging::BmpImage::parse(f).width();
}

} // namespace

TEST(Stager, OnePictureInEachMode) {
    const std::vector<std::uint8_t> rle = read_whole_file(data("wallpaper-rle8.bmp"));
    const std::vector<std::uint8_t> pal = read_whole_file(data("wallpaper-pal8.bmp"));
    const std::vector<std::uint8_t> jpeg = read_whole_file(data("wallpaper-photo.jpg"));
    for (const DisplayMode& mode : display_modes()) {
        Stager stager;
        auto staged = [&](const char* name) {
            stager.request(data(name));
            const StagedWallpaper s = stager.stage(mode, kScreen);
            EXPECT_EQ(s.mode, &mode);
            EXPECT_FALSE(s.remembered.has_value());
            return s.bytes;
        };
        if (mode.fit) {
            for (const char* name : {"wallpaper-rle8.bmp", "wallpaper-photo.jpg"})
                EXPECT_EQ(bmp_width(staged(name)), kScreen.width) << mode.caption << " " << name;
            continue;
        }
        // A bitmap in its own depth, a run-length encoded one as it is; a photo decoded.
        EXPECT_EQ(staged("wallpaper-rle8.bmp"), rle) << mode.caption;
        EXPECT_EQ(staged("wallpaper-pal8.bmp"), imaging::BmpImage::parse(pal).to_bmp_file()) << mode.caption;
        EXPECT_EQ(staged("wallpaper-photo.jpg"), imaging::jpeg_to_bmp24(jpeg)) << mode.caption;
    }
}

TEST(Stager, AFailedRequestLeavesThePendingOne) {
    Stager stager;
    stager.request(data("wallpaper-rle8.bmp"));
    EXPECT_THROW(stager.request(data("no-such-picture.jpg")), FileError);
    EXPECT_THROW(stager.request(data("wallpaper-not-a-picture.jpg")), InvalidGraphic);
    EXPECT_EQ(stager.stage(display_mode(1), kScreen).bytes, read_whole_file(data("wallpaper-rle8.bmp")));
}

TEST(Stager, ABitmapInThePreviewAtTheTickIsStagedFromThere) {
    Stager stager;
    stager.request(data("wallpaper-photo.jpg"));
    const imaging::Picture shown = imaging::Picture::load_file(data("wallpaper-rle8.bmp"));
    EXPECT_EQ(stager.stage(display_mode(0), kScreen, {}, &shown).bytes,
              read_whole_file(data("wallpaper-rle8.bmp")));
    const imaging::Picture jpeg = imaging::Picture::load_file(data("wallpaper-photo.jpg"));
    EXPECT_EQ(stager.stage(display_mode(0), kScreen, {}, &jpeg).bytes,
              imaging::jpeg_to_bmp24(read_whole_file(data("wallpaper-photo.jpg"))));
}

TEST(Stager, APicturePerMonitor) {
    const std::vector<Monitor> monitors{{"A", {0, 0, 40, 30}, true}, {"B", {40, 0, 24, 30}, false}};
    const std::string a = monitor_key(monitors[0]), b = monitor_key(monitors[1]);
    Stager stager;
    stager.request(data("wallpaper-photo.jpg"), MonitorChange{monitors, {{a, data("wallpaper-photo.jpg")}}});
    ASSERT_TRUE(stager.per_monitor());
    // A remembered picture that has gone leaves its monitor plain and is forgotten.
    const std::map<std::string, std::string> remembered{{b, data("gone.jpg")}, {"C 0,0,1,1", data("x.jpg")}};
    const StagedWallpaper s = stager.stage(display_mode(4), kScreen, remembered);
    EXPECT_EQ(s.mode, &tiled_mode());
    EXPECT_EQ(bmp_width(s.bytes), 64);
    ASSERT_TRUE(s.remembered.has_value());
    EXPECT_EQ(*s.remembered, (std::map<std::string, std::string>{{a, data("wallpaper-photo.jpg")}}));
    // A chosen picture that cannot be read at the tick is reported.
    stager.request(data("wallpaper-photo.jpg"), MonitorChange{monitors, {{b, data("gone.jpg")}}});
    EXPECT_THROW(stager.stage(display_mode(0), kScreen), FileError);
}

TEST(Stager, FitAndFillOfOnePictureAtEachMonitorsSize) {
    const std::vector<Monitor> two{{"A", {0, 0, 40, 30}, true}, {"B", {40, 0, 24, 48}, false}};
    Stager stager;
    stager.request(data("wallpaper-photo.jpg"));
    for (int fit : {3, 4}) {
        const StagedWallpaper s = stager.stage(display_mode(fit), kScreen, {}, nullptr, two);
        EXPECT_EQ(s.mode, &tiled_mode());
        const imaging::Pixels whole = imaging::BmpImage::parse(s.bytes).to_pixels();
        ASSERT_EQ(std::vector<int>({whole.width, whole.height}), (std::vector<int>{64, 48}));
        // Each monitor's part is the picture rendered at that monitor's size.
        for (const Monitor& m : two) {
            const imaging::Pixels alone =
                imaging::BmpImage::parse(
                    stager.stage(display_mode(fit), {m.rect.width, m.rect.height, kScreen.background}).bytes)
                    .to_pixels();
            for (int y = 0; y < m.rect.height; ++y)
                EXPECT_EQ(0, std::memcmp(whole.row(y) + 4 * m.rect.left, alone.row(y), 4 * m.rect.width))
                    << m.device << " row " << y;
        }
    }
    // One monitor: as without any.
    EXPECT_EQ(stager.stage(display_mode(4), kScreen, {}, nullptr, {two[0]}).bytes,
              stager.stage(display_mode(4), kScreen).bytes);
}

} // namespace velmaro::wallpaper
