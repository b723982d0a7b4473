// The system's own codecs through the Windows Imaging Component, on files ImageMagick
// wrote (tests/data/make-formats.sh): the preview's picture and the converter's staged
// file match ImageMagick's decode of the first frame, upright and laid over the same
// colour, exactly; broken files and formats without a codec are invalid pictures.
#include "imaging/wic_win.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/handles_win.h"
#include "imaging/bmp.h"
#include "imaging/picture.h"
#include "wallpaper/converter.h"
#include "wallpaper/monitors.h"

#include "native/imaging_test_files.h"

namespace velmaro::imaging {
namespace {

const std::string kFormats = std::string(VELMARO_TESTDATA_DIR) + "/formats/";
constexpr std::uint32_t kBackground = 0x285AA0; // the colour the references were made over

class WicTest : public ::testing::Test {
  protected:
    void SetUp() override { install_system_codec(make_wic_codec()); }
    void TearDown() override { install_system_codec(nullptr); }
    ComScope com;
};

TEST_F(WicTest, PreviewAndStagedFileMatchImageMagick) {
    for (const char* name : {"png-palette.png", "png-24.png", "png-alpha.png", "png-48.png", "png-64.png",
                             "png-interlaced.png", "gif-still.gif", "gif-transparent.gif", "gif-animated.gif",
                             "gif-offset.gif", "tiff-pages.tif", "tiff-orient6.tif"}) {
        const std::string stem = std::string(name).substr(0, std::string(name).rfind('.'));
        const testing::RgbPicture ref = testing::read_ppm("../formats/" + stem + ".ppm");
        const Picture p = Picture::load_file(kFormats + name, kBackground);
        EXPECT_EQ(p.width(), ref.width) << name;
        EXPECT_EQ(p.height(), ref.height) << name;
        EXPECT_EQ(testing::max_channel_difference(p.pixels_for(217, 145), ref), 0) << name;

        wallpaper::ImageConverter converter;
        const int id = converter.load(kFormats + name);
        const Pixels staged = BmpImage::parse(converter.bmp_bytes(id, kBackground)).to_pixels();
        EXPECT_EQ(testing::max_channel_difference(staged, ref), 0) << name;
    }
}

TEST_F(WicTest, BrokenFilesAndMissingCodecsAreInvalidPictures) {
    for (const char* name : {"png-corrupt.png", "gif-truncated.gif", "tiff-huge.tif", "webp-lossy.webp"}) {
        EXPECT_THROW(Picture::load_file(kFormats + name, kBackground), InvalidGraphic) << name;
        wallpaper::ImageConverter converter;
        // The request may find nothing wrong in a header; then the tick's decode fails.
        try {
            const int id = converter.load(kFormats + name);
            EXPECT_THROW(converter.bmp_bytes(id, kBackground), InvalidGraphic) << name;
        } catch (const InvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read picture " + kFormats + name);
        }
    }
}

TEST_F(WicTest, EachMonitorsTileCenterAndStrechLayTransparencyOverTheDesktopColour) {
    const testing::RgbPicture ref = testing::read_ppm("../formats/png-alpha.ppm");
    wallpaper::ImageConverter converter;
    const int id = converter.load(kFormats + "png-alpha.png");
    for (int display : {0, 1, 2}) {
        // At the picture's own size every layout shows it as it is (Strech through the
        // resampler, within its rounding).
        const wallpaper::MonitorPicture shown = wallpaper::render_for_monitor(
            converter, id, wallpaper::display_mode(display), ref.width, ref.height, kBackground);
        Pixels px{ref.width, ref.height,
                  std::vector<std::uint8_t>(std::size_t{4} * ref.width * ref.height, 255)};
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x)
                for (int c = 0; c < 3; ++c)
                    px.row(y)[4 * x + c] = shown.view.row(y)[3 * x + c];
        EXPECT_LE(testing::max_channel_difference(px, ref), display == 2 ? 2 : 0) << "Display " << display;
    }
}

TEST_F(WicTest, ALoopingTiffChainIsReadUprightOrRefusedNeverACrash) {
    // The orientation comes from our own reader; the codec decodes the first page only.
    const testing::RgbPicture ref = testing::read_ppm("../formats/tiff-orient6.ppm");
    try {
        const Picture p = Picture::load_file(kFormats + "tiff-loop.tif", kBackground);
        EXPECT_EQ(testing::max_channel_difference(p.pixels_for(217, 145), ref), 0);
    } catch (const InvalidGraphic&) {
        SUCCEED() << "refused by the codec";
    }
}

TEST_F(WicTest, ASmallFileAskingForAGigabyteIsRefusedBeforeItsPixels) {
    const auto began = GetTickCount64();
    EXPECT_THROW(Picture::load_file(kFormats + "png-gigabyte.png", kBackground), InvalidGraphic);
    wallpaper::ImageConverter converter;
    try {
        converter.load(kFormats + "png-gigabyte.png");
        ADD_FAILURE() << "the request took it";
    } catch (const InvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read picture " + kFormats + "png-gigabyte.png");
    }
    // Decoding the gigabyte under Wine takes far longer than reading two headers.
    EXPECT_LT(GetTickCount64() - began, 10000u) << "the pixels were decoded first";
}

} // namespace
} // namespace velmaro::imaging
