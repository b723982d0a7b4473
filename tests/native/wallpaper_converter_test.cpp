#include "wallpaper/converter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/error.h"
#include "base/file_read.h"

namespace velmaro::wallpaper {

namespace {

const std::string kData = VELMARO_TESTDATA_DIR;

std::string data(const char* name) {
    return kData + "/" + name;
}

// A reader of plain 24-bit bitmap files written independently of the program's own, so
// the converter's output is checked against what a BMP file is, not against itself.
struct Rgb24 {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgr; // top-down, 3 bytes a pixel, no padding
};

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

Rgb24 read_rgb24(std::span<const std::uint8_t> b) {
    Rgb24 img;
    EXPECT_GE(b.size(), 54u);
    if (b.size() < 54)
        return img;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size()) << "file size field";
    EXPECT_EQ(u32(b, 14), 40u) << "info header";
    EXPECT_EQ(b[28] | b[29] << 8, 24) << "bits a pixel";
    EXPECT_EQ(u32(b, 30), 0u) << "uncompressed";
    std::size_t offset = u32(b, 10);
    img.width = static_cast<std::int32_t>(u32(b, 18));
    auto h = static_cast<std::int32_t>(u32(b, 22));
    img.height = h < 0 ? -h : h;
    std::size_t stride = (static_cast<std::size_t>(img.width) * 3 + 3) & ~std::size_t{3};
    EXPECT_EQ(b.size(), offset + stride * img.height) << "rows padded to 4 bytes";
    if (b.size() < offset + stride * img.height)
        return img;
    for (int y = 0; y < img.height; ++y) {
        int file_row = h < 0 ? y : img.height - 1 - y;
        auto row = b.subspan(offset + stride * file_row, static_cast<std::size_t>(img.width) * 3);
        img.bgr.insert(img.bgr.end(), row.begin(), row.end());
    }
    return img;
}

int max_difference(const Rgb24& a, const Rgb24& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.bgr.size() && i < b.bgr.size(); ++i)
        worst = std::max(worst, std::abs(int(a.bgr[i]) - int(b.bgr[i])));
    return worst;
}

void expect_same_picture(const std::vector<std::uint8_t>& converted, const char* expected_file,
                         int tolerance) {
    Rgb24 got = read_rgb24(converted);
    Rgb24 want = read_rgb24(read_whole_file(data(expected_file)));
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    ASSERT_EQ(got.bgr.size(), want.bgr.size());
    EXPECT_LE(max_difference(got, want), tolerance) << expected_file;
}

std::vector<std::uint8_t> copy(std::span<const std::uint8_t> s) {
    return {s.begin(), s.end()};
}

class TempDir {
  public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("velmaro-converter-" + std::to_string(std::rand()) + "-" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const char* name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

} // namespace

TEST(ImageConverter, BitmapsOfAnyDepthBecomeTheSamePictureIn24Bits) {
    ImageConverter c;
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-rgb24.bmp")))), "wallpaper-rgb24.bmp", 0);
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-pal8.bmp")))), "wallpaper-pal8-decoded.bmp",
                        0);
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-rle8.bmp")))), "wallpaper-pal8-decoded.bmp",
                        0);
}

TEST(ImageConverter, JpegDecodesLikeAnIndependentDecoder) {
    ImageConverter c;
    // Decoders may round the colour conversion and upsampling differently.
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-photo.jpg")))), "wallpaper-photo-decoded.bmp",
                        6);
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-photo.jpeg")))),
                        "wallpaper-photo-decoded.bmp", 6);
}

TEST(ImageConverter, ContentsDecideNotTheName) {
    ImageConverter c;
    expect_same_picture(copy(c.bmp_bytes(c.load(data("wallpaper-bitmap-named.jpg")))), "wallpaper-rgb24.bmp",
                        0);
}

TEST(ImageConverter, APhotoBecomesA24BitBitmap) {
    ImageConverter c;
    int id = c.load(data("wallpaper-photo.jpg"));
    expect_same_picture(copy(c.bmp_bytes(id)), "wallpaper-photo-decoded.bmp", 6);
}

TEST(ImageConverter, FailuresNameTheFile) {
    ImageConverter c;
    auto expect_error_naming = [&](const std::string& path, auto kind) {
        try {
            c.load(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const decltype(kind)& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    };
    expect_error_naming(data("no-such-picture.jpg"), FileError(""));
    expect_error_naming(data("wallpaper-not-a-picture.jpg"), InvalidGraphic(""));
    expect_error_naming(data("wallpaper-header-only.jpg"), InvalidGraphic(""));
    try {
        c.load(data("no-such-picture.jpg"));
        ADD_FAILURE() << "a missing file loaded";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + data("no-such-picture.jpg"));
    }
}

TEST(ImageConverter, KeepsOnlyTheLatestBuffer) {
    ImageConverter c;
    EXPECT_THROW(c.bmp_bytes(0), Error) << "nothing before the first request";
    int first = c.load(data("wallpaper-rgb24.bmp"));
    EXPECT_GE(first, 1);
    int previous = first;
    for (int i = 0; i < 1000; ++i) {
        int id = c.load(data(i % 2 ? "wallpaper-pal8.bmp" : "wallpaper-photo.jpg"));
        ASSERT_GT(id, previous);
        previous = id;
    }
    EXPECT_THROW(c.bmp_bytes(first), Error) << "an earlier buffer is gone";
    EXPECT_NO_THROW(c.bmp_bytes(previous));
}

TEST(ImageConverter, AFailedRequestLeavesThePendingBuffer) {
    ImageConverter c;
    int id = c.load(data("wallpaper-rgb24.bmp"));
    EXPECT_THROW(c.load(data("wallpaper-not-a-picture.jpg")), InvalidGraphic);
    EXPECT_NO_THROW(c.bmp_bytes(id)) << "the earlier buffer is still the latest";
    expect_same_picture(copy(c.bmp_bytes(id)), "wallpaper-rgb24.bmp", 0);
}

} // namespace velmaro::wallpaper

namespace velmaro::wallpaper {

TEST(ImageConverter, FitAndFillGiveTheScreenSizeForBitmapsAndJpegs) {
    ImageConverter c;
    const imaging::Screen screen{64, 48, 0x112233};
    for (const char* name : {"wallpaper-rgb24.bmp", "wallpaper-photo.jpg"})
        for (auto fit : {imaging::ScreenFit::Fit, imaging::ScreenFit::Fill}) {
            const int id = c.load(data(name));
            const Rgb24 img = read_rgb24(c.screen_bmp_bytes(id, fit, screen));
            EXPECT_EQ(img.width, 64) << name;
            EXPECT_EQ(img.height, 48) << name;
            EXPECT_THROW(c.screen_bmp_bytes(id - 1, fit, screen), Error);
        }
}

} // namespace velmaro::wallpaper
