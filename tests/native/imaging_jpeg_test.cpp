#include "imaging/jpeg.h"

#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging_test_files.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmaro::imaging {
namespace {

using testing::data_file;
using testing::max_channel_difference;
using testing::read_ppm;

// Offset of the first marker of one of the given kinds (the byte after 0xFF), or 0.
std::size_t find_marker(const std::vector<std::uint8_t>& f, std::initializer_list<std::uint8_t> kinds) {
    for (std::size_t i = 2; i + 1 < f.size(); ++i)
        if (f[i] == 0xFF)
            for (std::uint8_t k : kinds)
                if (f[i + 1] == k)
                    return i + 1;
    return 0;
}

// The start-of-frame marker's fields: precision at +3, height at +4, width at +6,
// component count at +8, then 3 bytes a component (id, sampling, table).
std::size_t frame_of(const std::vector<std::uint8_t>& f) {
    const std::size_t at = find_marker(f, {0xC0, 0xC1, 0xC2, 0xC9, 0xCA});
    EXPECT_NE(at, 0u);
    return at;
}

void set16(std::vector<std::uint8_t>& f, std::size_t at, unsigned v) {
    f[at] = static_cast<std::uint8_t>(v >> 8);
    f[at + 1] = static_cast<std::uint8_t>(v);
}

TEST(JpegHeaderRead, KindsSizesAndCoding) {
    struct Case {
        const char* name;
        JpegColor color;
        int components;
        bool progressive, arithmetic;
    };
    for (const Case& c : {Case{"jpeg-base", JpegColor::YCbCr, 3, false, false},
                          Case{"jpeg-prog", JpegColor::YCbCr, 3, true, false},
                          Case{"jpeg-gray", JpegColor::Gray, 1, false, false},
                          Case{"jpeg-cmyk", JpegColor::Cmyk, 4, false, false},
                          Case{"jpeg-ycck", JpegColor::Ycck, 4, false, false},
                          Case{"jpeg-rgb", JpegColor::Rgb, 3, false, false},
                          Case{"jpeg-arith", JpegColor::YCbCr, 3, false, true},
                          Case{"jpeg-arith-prog", JpegColor::YCbCr, 3, true, true}}) {
        SCOPED_TRACE(c.name);
        const JpegHeader h = read_jpeg_header(data_file(std::string(c.name) + ".jpg"));
        EXPECT_EQ(h.width, 97);
        EXPECT_EQ(h.height, 61);
        EXPECT_EQ(h.color, c.color);
        EXPECT_EQ(h.components, c.components);
        EXPECT_EQ(h.progressive, c.progressive);
        EXPECT_EQ(h.arithmetic, c.arithmetic);
    }
}

TEST(JpegDecode, EveryKindMatchesImageMagick) {
    // ImageMagick decodes through the same library, so YCbCr, grey and RGB pictures agree
    // exactly; its CMYK to RGB conversion rounds through 16 bits, hence the one step.
    struct Case {
        const char* name;
        int tolerance;
    };
    for (const Case& c :
         {Case{"jpeg-base", 0}, Case{"jpeg-444", 0}, Case{"jpeg-422", 0}, Case{"jpeg-prog", 0},
          Case{"jpeg-gray", 0}, Case{"jpeg-rgb", 0}, Case{"jpeg-arith", 0}, Case{"jpeg-arith-prog", 0},
          Case{"jpeg-cmyk", 1}, Case{"jpeg-ycck", 1}}) {
        SCOPED_TRACE(c.name);
        const Pixels p = decode_jpeg(data_file(std::string(c.name) + ".jpg"));
        const int diff = max_channel_difference(p, read_ppm(std::string(c.name) + ".ppm"));
        EXPECT_GE(diff, 0) << "size differs";
        EXPECT_LE(diff, c.tolerance);
    }
}

TEST(JpegDecode, ScalesToTheSmallestSizeCoveringTheFrame) {
    struct Case {
        int min_w, min_h;
        const char* eighths;
        int width, height;
    };
    for (const char* file : {"scale-base", "scale-prog"}) {
        const std::vector<std::uint8_t> jpeg = data_file(std::string(file) + ".jpg");
        for (const Case& c :
             {Case{80, 50, "1of8", 80, 50}, Case{161, 1, "3of8", 240, 150}, Case{217, 145, "3of8", 240, 150},
              Case{300, 10, "1of2", 320, 200}, Case{500, 1, "7of8", 560, 350}, Case{0, 0, "8of8", 640, 400},
              Case{641, 401, "8of8", 640, 400}}) {
            SCOPED_TRACE(std::string(file) + " " + c.eighths);
            const Pixels p = decode_jpeg(jpeg, c.min_w, c.min_h);
            EXPECT_EQ(p.width, c.width);
            EXPECT_EQ(p.height, c.height);
            // libjpeg's own tool gives the reference for its scaled transforms.
            EXPECT_EQ(max_channel_difference(p, read_ppm(std::string(file) + "-" + c.eighths + ".ppm")), 0);
        }
    }
}

TEST(JpegDecode, ScaleChoice) {
    JpegHeader twelve_mp{4000, 3000, 3, JpegColor::YCbCr, false, false};
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 193, 145), 1); // 500 x 375
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 1000, 10), 2);
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 1001, 10), 3);
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 10, 2626), 8); // 7/8 gives 2625
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 0, 145), 8);
    EXPECT_EQ(jpeg_scale_eighths(twelve_mp, 5000, 5000), 8);
    // Sizes round up as libjpeg rounds them: 9 x 1/8 is 2 columns.
    JpegHeader tiny{9, 9, 1, JpegColor::Gray, false, false};
    EXPECT_EQ(jpeg_scale_eighths(tiny, 2, 2), 1);
    EXPECT_EQ(jpeg_scale_eighths(tiny, 3, 1), 2);
}

TEST(JpegDecode, ReportsProgressWithTheRowsDecodedSoFar) {
    const std::vector<std::uint8_t> jpeg = data_file("scale-base.jpg");
    const Pixels full = decode_jpeg(jpeg);
    std::vector<int> reported;
    const Pixels result = decode_jpeg(jpeg, 0, 0, [&](const Pixels& partial, int rows) {
        ASSERT_EQ(partial.width, 640);
        ASSERT_EQ(partial.height, 400);
        reported.push_back(rows);
        const std::size_t done = static_cast<std::size_t>(rows) * 640 * 4;
        EXPECT_TRUE(std::equal(partial.bgra.begin(), partial.bgra.begin() + static_cast<std::ptrdiff_t>(done),
                               full.bgra.begin()));
        EXPECT_TRUE(std::all_of(partial.bgra.begin() + static_cast<std::ptrdiff_t>(done), partial.bgra.end(),
                                [](std::uint8_t b) { return b == 0; }));
    });
    EXPECT_EQ(result.bgra, full.bgra);
    ASSERT_GE(reported.size(), 4u);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_GT(reported.front(), 0);
    EXPECT_LT(reported.back(), 400);

    // A redraw that fails stops the decode and its error comes through unchanged.
    EXPECT_THROW(
        decode_jpeg(jpeg, 0, 0, [](const Pixels&, int) { throw std::runtime_error("redraw failed"); }),
        std::runtime_error);
}

TEST(JpegDecode, CutOffDataDecodesAsFarAsItGoesAndSaysNothing) {
    ::testing::internal::CaptureStderr();
    const Pixels cut = decode_jpeg(data_file("jpeg-truncated.jpg"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "warnings are silent";
    ASSERT_EQ(cut.width, 640);
    ASSERT_EQ(cut.height, 400);
    const Pixels whole = decode_jpeg(data_file("scale-base.jpg"));
    // Half the file holds well over the first quarter of the rows.
    const std::size_t quarter = std::size_t{100} * 640 * 4;
    EXPECT_TRUE(std::equal(whole.bgra.begin(), whole.bgra.begin() + quarter, cut.bgra.begin()));
    EXPECT_NE(cut.bgra, whole.bgra);

    EXPECT_THROW(read_jpeg_header(data_file("jpeg-header-cut.jpg")), InvalidGraphic);
    EXPECT_THROW(decode_jpeg(data_file("jpeg-header-cut.jpg")), InvalidGraphic);
}

TEST(JpegDecode, StraightToA24BitBitmap) {
    for (const char* name : {"scale-prog", "jpeg-cmyk", "jpeg-ycck", "jpeg-gray"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> jpeg = data_file(std::string(name) + ".jpg");
        const std::vector<std::uint8_t> bmp = jpeg_to_bmp24(jpeg);
        const BmpImage img = BmpImage::parse(bmp);
        EXPECT_EQ(img.bit_count(), 24);
        EXPECT_FALSE(img.top_down());
        EXPECT_EQ(img.header_kind(), BmpHeaderKind::Info);
        EXPECT_EQ(img.to_pixels().bgra, decode_jpeg(jpeg).bgra);
    }
}

// ---------------------------------------------------------------------------------------
// Broken streams: every one an InvalidGraphic, never a crash or an exit.

TEST(JpegMalformed, NotAJpegStream) {
    const std::vector<std::vector<std::uint8_t>> streams = {
        {},
        {0xFF},
        {0xFF, 0xD8},
        {0xFF, 0xD8, 0xFF, 0xD9},
        {'B', 'M', 0, 0, 0, 0},
        {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'},
    };
    for (const auto& s : streams) {
        EXPECT_THROW(read_jpeg_header(s), InvalidGraphic);
        EXPECT_THROW(decode_jpeg(s), InvalidGraphic);
        EXPECT_THROW(jpeg_to_bmp24(s), InvalidGraphic);
    }
    EXPECT_THROW(read_jpeg_header(data_file("bmp3-24.bmp")), InvalidGraphic);
}

TEST(JpegMalformed, ImpossibleFrames) {
    const std::vector<std::uint8_t> good = data_file("jpeg-base.jpg");
    const std::size_t sof = frame_of(good);
    auto patched = [&](auto change) {
        std::vector<std::uint8_t> f = good;
        change(f);
        return f;
    };
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) { set16(f, sof + 4, 0); })), InvalidGraphic)
        << "height 0";
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) { set16(f, sof + 6, 0); })), InvalidGraphic)
        << "width 0";
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) { f[sof + 3] = 12; })), InvalidGraphic) << "12-bit";
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) { f[sof + 10] = 0x50; })), InvalidGraphic)
        << "sampling 5";
    // 65000 x 65000 is past the pixel ceiling; 16000 x 16000 is under it, but a few
    // kilobytes of Huffman-coded data cannot describe it.
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) {
                     set16(f, sof + 4, 65000);
                     set16(f, sof + 6, 65000);
                 })),
                 InvalidGraphic);
    EXPECT_THROW(read_jpeg_header(patched([&](auto& f) {
                     set16(f, sof + 4, 16000);
                     set16(f, sof + 6, 16000);
                 })),
                 InvalidGraphic);
    // A frame naming a quantisation table that is never defined passes the header and
    // fails when decoding starts.
    const std::vector<std::uint8_t> no_table = patched([&](auto& f) { f[sof + 11] = 3; });
    EXPECT_NO_THROW(read_jpeg_header(no_table));
    EXPECT_THROW(decode_jpeg(no_table), InvalidGraphic);
    EXPECT_THROW(jpeg_to_bmp24(no_table), InvalidGraphic);
}

TEST(JpegMalformed, DamagedDataDecodesWithoutFailingHard) {
    // Garbage in the entropy-coded data is a warning for libjpeg: the picture still
    // comes out at its size, damaged, and nothing is printed.
    std::vector<std::uint8_t> f = data_file("scale-base.jpg");
    const std::size_t sos = find_marker(f, {0xDA});
    ASSERT_NE(sos, 0u);
    for (std::size_t i = sos + 200; i < sos + 2000 && i < f.size(); i += 7)
        f[i] = static_cast<std::uint8_t>(f[i] * 31 + 7);
    ::testing::internal::CaptureStderr();
    try {
        const Pixels p = decode_jpeg(f, 217, 145);
        EXPECT_EQ(p.width, 240);
    } catch (const InvalidGraphic&) {
        // Also acceptable: libjpeg may judge the damage fatal.
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace velmaro::imaging
