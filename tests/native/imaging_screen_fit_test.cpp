// Fit and Fill at a screen's size: where the picture goes, what the file holds, and that
// a large JPEG is decoded only at the scale the screen needs.
#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging/jpeg.h"
#include "imaging/orientation.h"
#include "imaging/resample.h"
#include "imaging/screen_fit.h"
#include "imaging_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdint>
#include <vector>

namespace velmaro::imaging {
namespace {

// A picture of two flat halves, left red and right blue, `w` x `h`.
Pixels halves(int w, int h) {
    Pixels p;
    p.width = w, p.height = h;
    p.bgra.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* px = p.row(y) + x * 4;
            const bool left = x < w / 2;
            px[0] = left ? 0 : 255, px[1] = 0, px[2] = left ? 255 : 0, px[3] = 255;
        }
    return p;
}

std::uint32_t rgb_at(const Pixels& p, int x, int y) {
    const std::uint8_t* px = p.row(y) + x * 4;
    return std::uint32_t{px[2]} << 16 | std::uint32_t{px[1]} << 8 | px[0];
}

TEST(ScreenPlacement, FillCoversAndCutsEvenlyFitLiesInsideCentred) {
    const ScreenPlacement fill = place_on_screen(4000, 3000, ScreenFit::Fill, 1920, 1080);
    EXPECT_EQ(fill.x, 0);
    EXPECT_EQ(fill.width, 1920);
    EXPECT_EQ(fill.height, 1080);
    EXPECT_DOUBLE_EQ(fill.u0, 0);
    EXPECT_NEAR(fill.v0, (1 - 1080.0 / 1440) / 2, 1e-12); // 4000 x 3000 scaled to 1920 x 1440
    EXPECT_NEAR(fill.v1, 1 - fill.v0, 1e-12);

    const ScreenPlacement fit = place_on_screen(3000, 4000, ScreenFit::Fit, 1920, 1080);
    EXPECT_EQ(fit.height, 1080);
    EXPECT_EQ(fit.width, 810);
    EXPECT_EQ(fit.x, (1920 - 810) / 2);
    EXPECT_EQ(fit.y, 0);
    EXPECT_DOUBLE_EQ(fit.u0, 0);
    EXPECT_DOUBLE_EQ(fit.v1, 1);

    // Small pictures are enlarged too.
    const ScreenPlacement small = place_on_screen(100, 100, ScreenFit::Fit, 800, 600);
    EXPECT_EQ(small.width, 600);
    EXPECT_EQ(small.x, 100);
}

TEST(ScreenFitRender, TheFileHasTheScreenSizeAndThePictureWhereItBelongs) {
    const Screen screen{160, 90, 0x3A6EA5};
    // Fit: a portrait picture in the middle, the background at the sides.
    const Pixels fit =
        BmpImage::parse(render_screen_bmp24(halves(60, 120), ScreenFit::Fit, screen)).to_pixels();
    ASSERT_EQ(fit.width, 160);
    ASSERT_EQ(fit.height, 90);
    EXPECT_EQ(rgb_at(fit, 0, 45), 0x3A6EA5u);
    EXPECT_EQ(rgb_at(fit, 159, 0), 0x3A6EA5u);
    EXPECT_EQ(rgb_at(fit, 80 - 22 + 2, 45), 0xFF0000u); // 45 wide, from x 57
    EXPECT_EQ(rgb_at(fit, 80 + 20, 45), 0x0000FFu);
    // Fill: the same picture covers the screen; its middle rows are shown, both halves.
    const Pixels fill =
        BmpImage::parse(render_screen_bmp24(halves(60, 120), ScreenFit::Fill, screen)).to_pixels();
    ASSERT_EQ(fill.width, 160);
    EXPECT_EQ(rgb_at(fill, 2, 2), 0xFF0000u);
    EXPECT_EQ(rgb_at(fill, 157, 87), 0x0000FFu);
    // A landscape picture wider than the screen: the sides are cut, equally.
    const Pixels wide =
        BmpImage::parse(render_screen_bmp24(halves(400, 90), ScreenFit::Fill, screen)).to_pixels();
    EXPECT_EQ(rgb_at(wide, 78, 45), 0xFF0000u);
    EXPECT_EQ(rgb_at(wide, 82, 45), 0x0000FFu);
}

TEST(ScreenFitRender, ScalesInLinearLight) {
    // Single-pixel black and white stripes average to the sRGB value of half the light
    // (188), not to the mean of the codes (128).
    Pixels stripes;
    stripes.width = 64, stripes.height = 64;
    stripes.bgra.resize(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 4; ++c)
                stripes.row(y)[x * 4 + c] = (x % 2 == 0 || c == 3) ? 255 : 0;
    const Pixels out =
        BmpImage::parse(render_screen_bmp24(stripes, ScreenFit::Fill, Screen{16, 16, 0})).to_pixels();
    EXPECT_NEAR(out.row(8)[8 * 4], 188, 3);
}

TEST(ScreenFitRender, AJpegDecodesOnlyAsLargeAsTheScreenNeedsAndAgreesWithTheFullDecode) {
    const std::vector<std::uint8_t> jpeg = testing::data_file("jpeg-base.jpg"); // 97 x 61
    EXPECT_EQ(decode_jpeg_bgr(jpeg, 40, 20).width, 49);                         // half scale covers it
    const Screen screen{40, 30, 0};
    for (ScreenFit fit : {ScreenFit::Fit, ScreenFit::Fill}) {
        const Pixels scaled = BmpImage::parse(render_jpeg_screen_bmp24(jpeg, fit, screen)).to_pixels();
        const Pixels full = BmpImage::parse(render_screen_bmp24(decode_jpeg(jpeg), fit, screen)).to_pixels();
        ASSERT_EQ(scaled.width, 40);
        ASSERT_EQ(scaled.height, 30);
        double sum = 0;
        for (std::size_t i = 0; i < full.bgra.size(); ++i)
            sum += std::pow(double(full.bgra[i]) - scaled.bgra[i], 2);
        EXPECT_LT(std::sqrt(sum / full.bgra.size()), 6.0);
    }
}

TEST(ScreenFitRender, APartOfAJpegDecodesAsTheSameRowsAndColumnsOfTheWholeDecode) {
    const std::vector<std::uint8_t> jpeg = testing::data_file("jpeg-base.jpg"); // 97 x 61
    for (int min_width : {0, 40}) {                                             // full size, and half scale
        const Raster whole = decode_jpeg_bgr(jpeg, min_width, min_width / 2);
        const JpegPart part = decode_jpeg_part_bgr(jpeg, min_width, min_width / 2, 0.45, 0.5, 0.8, 0.9, 0);
        EXPECT_EQ(part.full_width, whole.width);
        EXPECT_EQ(part.full_height, whole.height);
        // Rows above are skipped, columns cut to whole blocks, but the part covers what was asked.
        EXPECT_GT(part.left, 0);
        EXPECT_LE(part.left, static_cast<int>(0.45 * whole.width));
        EXPECT_GT(part.top, 0);
        EXPECT_LE(part.top, static_cast<int>(0.5 * whole.height));
        EXPECT_GE(part.left + part.pixels.width, static_cast<int>(std::ceil(0.8 * whole.width)));
        EXPECT_GE(part.top + part.pixels.height, static_cast<int>(std::ceil(0.9 * whole.height)));
        EXPECT_LT(part.top + part.pixels.height, whole.height);
        int differing = 0;
        for (int y = 0; y < part.pixels.height; ++y)
            for (int x = 0; x < part.pixels.width * 3; ++x)
                differing +=
                    part.pixels.view().row(y)[x] != whole.view().row(part.top + y)[part.left * 3 + x];
        EXPECT_EQ(differing, 0) << "at min width " << min_width;
    }
}

TEST(ScreenFitRender, PartRowsComeOnceFromTheTopDownTheSameOnEitherThread) {
    for (const char* name : {"scale-base.jpg", "jpeg-truncated.jpg", "jpeg-cmyk.jpg"}) {
        const std::vector<std::uint8_t> jpeg = testing::data_file(name);
        const Raster whole = decode_jpeg_bgr(jpeg, 0, 0);
        JpegPartRows in_turn(jpeg, 0, 0, 0.1, 0.1, 0.9, 0.9, 2, PartDecoding::InTurn);
        JpegPartRows ahead(jpeg, 0, 0, 0.1, 0.1, 0.9, 0.9, 2, PartDecoding::Ahead);
        EXPECT_FALSE(in_turn.decodes_ahead());
        EXPECT_TRUE(ahead.decodes_ahead());
        const JpegPartPlace& p = in_turn.place();
        const auto row_bytes = static_cast<std::size_t>(p.width) * 3;
        for (int y = 0; y < p.height; y += 1 + y % 3) { // some rows are not asked for
            // Columns where the part is cut may differ from the whole decode's (see the fuzzer).
            const std::uint8_t* expected = whole.view().row(p.top + y) + std::ptrdiff_t{3} * p.left;
            const std::uint8_t* row = in_turn.row(y);
            EXPECT_TRUE(std::equal(row + 3, row + row_bytes - 3, expected + 3)) << name << " row " << y;
            EXPECT_TRUE(std::equal(row, row + row_bytes, ahead.row(y))) << name << " row " << y;
        }
        EXPECT_THROW(ahead.row(0), InvalidGraphic);
        EXPECT_THROW(in_turn.row(0), InvalidGraphic);
    }
    // A reader that stops early ends the thread, which waits with its bands full.
    JpegPartRows early(testing::data_file("scale-base.jpg"), 0, 0, 0, 0, 1, 1, 2, PartDecoding::Ahead);
    EXPECT_NE(early.row(0), nullptr);
}

TEST(Resample, RowsReadOnceFromTheTopDownScaleAsTheWholePictureDoes) {
    // Noise, read 4 or 3 bytes a pixel.
    Raster src(301, 203, 4);
    std::uint32_t noise = 7;
    for (std::uint8_t& v : src.data)
        v = static_cast<std::uint8_t>((noise = noise * 1664525 + 1013904223) >> 24);
    struct Case {
        int channels;
        double s0, t0, s1, t1;
        int width, height;
    };
    const Case cases[] = {
        {3, 0, 0, 1, 1, 150, 100},             // smaller, along the columns first
        {4, 0.1, 0.2, 0.9, 0.95, 72, 140},     // smaller, along the rows first
        {3, 0, 0, 1, 1, 602, 406},             // larger, along the rows first
        {3, 0.25, 0.25, 0.75, 0.75, 600, 150}, // larger, along the columns first
        {3, 0, 0, 1, 1, 150, 406},             // narrower and taller
        {4, 0, 0, 1, 1, 602, 101},             // wider and lower
        {3, 0, 0, 1, 1, 150, 203},             // along the rows alone
        {3, 0, 0, 1, 1, 301, 16},              // along the columns alone, one band
        {3, 0.5, 0.5, 0.6, 0.6, 1, 1},
    };
    for (const Case& c : cases) {
        const ConstView view{src.data.data(), src.width, src.height, src.stride(), 4};
        const ConstView pixels{view.data, view.width, view.height, view.stride, c.channels};
        for (int o = 1; o <= 8; ++o) {
            const Size up = upright_size(c.width, c.height, o);
            Raster expected(up.width, up.height, 3), once(up.width, up.height, 3);
            resample_region_upright(pixels, c.s0, c.t0, c.s1, c.t1, o, expected.view());
            int last = -1;
            bool in_order = true;
            const RowSource rows{src.width, src.height, c.channels, [&](int y) {
                                     in_order = in_order && y > last;
                                     last = y;
                                     return view.row(y);
                                 }};
            resample_region_upright(rows, c.s0, c.t0, c.s1, c.t1, o, once.view());
            EXPECT_TRUE(in_order) << c.width << " x " << c.height << ", orientation " << o;
            EXPECT_EQ(once.data, expected.data) << c.width << " x " << c.height << ", orientation " << o;
        }
    }
}

TEST(ScreenFitRender, ARowThatFailsEndsTheScalingWithItsError) {
    const std::vector<std::uint8_t> grey(30 * 3, 128);
    const RowSource failing{30, 20, 3, [&grey](int y) -> const std::uint8_t* {
                                if (y == 12)
                                    throw InvalidGraphic("Not a valid JPEG picture");
                                return grey.data();
                            }};
    Raster out(10, 7, 3);
    EXPECT_THROW(resample_region_upright(failing, 0, 0, 1, 1, 1, out.view()), InvalidGraphic);
}

TEST(ScreenFitRender, ScaledRowsTurnUprightOnTheirWayOut) {
    // Scaling straight into an upright view gives what scaling and then turning gives.
    const Pixels source = decode_jpeg(testing::data_file("jpeg-base.jpg"));
    const ConstView src{source.bgra.data(), source.width, source.height, source.width * 4, 4};
    Raster scaled(23, 17, 4);
    resample_region(src, 0.1, 0.2, 0.9, 0.95, scaled.view());
    for (int o = 1; o <= 8; ++o) {
        const Size up = upright_size(23, 17, o);
        Raster expected(up.width, up.height, 4), direct(up.width, up.height, 4);
        orient_into(scaled.view(), o, expected.view());
        resample_region_upright(src, 0.1, 0.2, 0.9, 0.95, o, direct.view());
        EXPECT_EQ(direct.data, expected.data) << "orientation " << o;
    }
}

} // namespace
} // namespace velmaro::imaging
