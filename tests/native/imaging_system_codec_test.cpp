// The platform-neutral side of the system codecs' route, driven by a stand-in codec: the
// masks, the pixel ceiling before any pixels, orientation, transparency over a colour,
// and the converter's choice of route.
#include "imaging/system_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/error.h"
#include "base/wildcard.h"
#include "imaging/bmp.h"
#include "imaging/bmp_write.h"
#include "imaging/gif_screen.h"
#include "imaging/picture.h"
#include "wallpaper/converter.h"

namespace velmaro::imaging {
namespace {

// "FAKE", then width and height as 16-bit numbers and the orientation: pixel (x, y) is
// B = x, G = y, R = 200, with alpha 255 on even x and 51 on odd x.
class FakeCodec : public SystemCodec {
  public:
    explicit FakeCodec(int* pixel_calls) : pixel_calls_(pixel_calls) {}
    CodecHeader read_header(std::span<const std::uint8_t> f) const override {
        if (f.size() < 9 || std::string(f.begin(), f.begin() + 4) != "FAKE")
            throw InvalidGraphic("not fake");
        return {f[4] | f[5] << 8, f[6] | f[7] << 8, f[8]};
    }
    Pixels decode(std::span<const std::uint8_t> f, const HeaderCheck& check) const override {
        const CodecHeader h = read_header(f);
        check(h);
        ++*pixel_calls_;
        Pixels px{h.width, h.height, std::vector<std::uint8_t>(std::size_t{4} * h.width * h.height)};
        for (int y = 0; y < h.height; ++y)
            for (int x = 0; x < h.width; ++x) {
                std::uint8_t* p = px.row(y) + 4 * x;
                p[0] = static_cast<std::uint8_t>(x), p[1] = static_cast<std::uint8_t>(y), p[2] = 200;
                p[3] = x % 2 ? 51 : 255;
            }
        return px;
    }

  private:
    int* pixel_calls_;
};

// `size`: the file's length, padded with zeros (at least the 9 bytes that say it all).
std::vector<std::uint8_t> fake_file(int w, int h, int orientation, std::size_t size = 9) {
    std::vector<std::uint8_t> f = {'F',
                                   'A',
                                   'K',
                                   'E',
                                   static_cast<std::uint8_t>(w),
                                   static_cast<std::uint8_t>(w >> 8),
                                   static_cast<std::uint8_t>(h),
                                   static_cast<std::uint8_t>(h >> 8),
                                   static_cast<std::uint8_t>(orientation)};
    f.resize(std::max<std::size_t>(size, 9));
    return f;
}

class SystemCodecTest : public ::testing::Test {
  protected:
    void SetUp() override { install_system_codec(std::make_unique<FakeCodec>(&pixel_calls)); }
    void TearDown() override { install_system_codec(nullptr); }
    int pixel_calls = 0;
};

constexpr std::uint32_t kBackground = 0x285AA0; // red 40, green 90, blue 160

TEST(PictureMasks, TheDesignedMaskUnlessAskedAndEveryExtraPatternIsACodecPicture) {
    EXPECT_EQ(file_list_mask(false), "*.jpg;*.jpeg;*.bmp;");
    EXPECT_EQ(file_list_mask(true),
              "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.tif;*.tiff;*.jxr;*.wdp;*.webp;*.heic;*.heif;*.avif;*.jxl;");
    const std::vector<std::string> more = split_mask(file_list_mask(true));
    const std::vector<PictureKind> designed = {PictureKind::Jpeg, PictureKind::Jpeg, PictureKind::Bitmap};
    for (std::size_t i = 0; i + 1 < more.size(); ++i) {
        ASSERT_EQ(more[i].substr(0, 2), "*.");
        const std::string name = "Photo" + more[i].substr(1);
        EXPECT_EQ(picture_kind_for(name), i < 3 ? designed[i] : PictureKind::Codec) << name;
    }
    EXPECT_EQ(picture_kind_for("A.HEIC"), PictureKind::Codec);
}

TEST_F(SystemCodecTest, UprightOverTheBackgroundWithAlphaRounded) {
    const Pixels px = decode_codec_picture(fake_file(3, 2, 6), kBackground);
    // Stored 3 x 2, a quarter turn clockwise to be upright: 2 x 3, upright (x, y) from
    // stored (y, 1 - x).
    ASSERT_EQ(px.width, 2);
    ASSERT_EQ(px.height, 3);
    const std::uint8_t* opaque = px.row(0) + 0; // stored (0, 1): alpha 255
    EXPECT_EQ(std::vector<int>(opaque, opaque + 4), (std::vector<int>{0, 1, 200, 255}));
    const std::uint8_t* faint = px.row(1) + 4; // stored (1, 0): alpha 51 over 0x285AA0
    // (value * 51 + background * 204) / 255, truncated: blue 1 -> 128.2, green 0 -> 72,
    // red 200 -> 72.
    EXPECT_EQ(std::vector<int>(faint, faint + 4), (std::vector<int>{128, 72, 72, 255}));
    // Truncated, not rounded, as ImageMagick flattens: (21 * 248 + 160 * 7) / 255 = 24.8.
    Pixels one{1, 1, {21, 0, 0, 248}};
    composite_over(one, kBackground);
    EXPECT_EQ(one.bgra[0], 24);
}

TEST_F(SystemCodecTest, PicturesBeyondTheCeilingAreRefusedBeforeAnyPixels) {
    EXPECT_THROW(decode_codec_picture(fake_file(20000, 20000, 1), kBackground), InvalidGraphic);
    EXPECT_THROW(read_codec_header(fake_file(20000, 20000, 1)), InvalidGraphic);
    EXPECT_THROW(decode_codec_picture(fake_file(0, 5, 1), kBackground), InvalidGraphic);
    EXPECT_THROW(Picture::load_bytes("big.png", fake_file(20000, 20000, 1)), InvalidGraphic);
    EXPECT_EQ(pixel_calls, 0);
}

TEST_F(SystemCodecTest, TheFileMustJustifyTheDecodedAndTheTurnedCopyTogether) {
    constexpr std::size_t KiB = 1024, MiB = 1024 * KiB;
    struct Case {
        int w, h, orientation;
        std::size_t file_size;
        bool allowed;
    } cases[] = {
        {16384, 16384, 1, 1 * MiB, true},      // 1 GiB for 1 MiB: the ceiling itself
        {16384, 16384, 1, 1 * MiB - 1, false}, // a byte short
        {16384, 16384, 6, 64 * MiB, false},    // 1 GiB and another for the turned copy
        {16384, 8192, 6, 1 * MiB, true},       // half the picture, turned: 1 GiB together
        {8192, 8192, 1, 1, true},              // 256 MiB: a flat picture of any screen's size
        {8192, 8193, 1, 256 * KiB, false},
    };
    for (const Case& c : cases) {
        const auto file = fake_file(c.w, c.h, c.orientation, c.file_size);
        bool allowed = true;
        try {
            read_codec_header(file);
        } catch (const InvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Picture too large");
            allowed = false;
        }
        EXPECT_EQ(allowed, c.allowed)
            << c.w << " x " << c.h << " orientation " << c.orientation << ", " << c.file_size << " bytes";
        if (!c.allowed) {
            EXPECT_THROW(decode_codec_picture(file, kBackground), InvalidGraphic);
        }
    }
    EXPECT_EQ(pixel_calls, 0);
}

// A GIF of 10 x 8 whose first frame, 4 x 5, lies at (3, 2), after a colour table and an
// extension; a screen too small for the frame grows to hold it.
TEST(GifScreen, TheFirstFrameAtItsOffsetOnTheLogicalScreen) {
    for (int screen : {10, 0}) {
        std::vector<std::uint8_t> g = {'G', 'I', 'F', '8',  '9', 'a', std::uint8_t(screen),
                                       0,   8,   0,   0x80, 0,   0};
        for (int b : {1, 2, 3, 4, 5, 6, 0x21, 0xF9, 4, 1, 0, 0,    0, 0, 0x2C,
                      3, 0, 2, 0, 4, 0, 5,    0,    0, 2, 2, 0x4C, 1, 0})
            g.push_back(static_cast<std::uint8_t>(b));
        const auto place = gif_first_frame_place(g);
        ASSERT_TRUE(place);
        EXPECT_EQ(std::vector<int>({place->screen_width, place->screen_height, place->left, place->top}),
                  (std::vector<int>{screen ? 10 : 7, 8, 3, 2}));
        const Pixels laid = place_gif_frame(Pixels{4, 5, std::vector<std::uint8_t>(80, 200)}, *place);
        ASSERT_EQ(laid.width * laid.height, place->screen_width * 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < laid.width; ++x)
                EXPECT_EQ(laid.row(y)[4 * x + 3], x >= 3 && x < 7 && y >= 2 && y < 7 ? 200 : 0)
                    << x << ", " << y;
        EXPECT_FALSE(gif_first_frame_place(std::span(g).first(36))) << "cut inside the descriptor";
    }
}

TEST_F(SystemCodecTest, ThePreviewPictureIsDecodedAtLoad) {
    const Picture p = Picture::load_bytes("x.Tiff", fake_file(5, 4, 8), kBackground);
    EXPECT_EQ(pixel_calls, 1);
    EXPECT_EQ(p.kind(), PictureKind::Codec);
    EXPECT_EQ(p.width(), 4);
    EXPECT_EQ(p.height(), 5);
    EXPECT_EQ(p.bitmap(), nullptr);
    EXPECT_EQ(p.pixels_for(217, 145).bgra, decode_codec_picture(fake_file(5, 4, 8), kBackground).bgra);
    EXPECT_THROW(Picture::load_bytes("x.png", {'n', 'o', 'p', 'e'}), InvalidGraphic);
}

TEST(SystemCodecMissing, EveryCodecPictureIsInvalid) {
    EXPECT_THROW(Picture::load_bytes("x.png", fake_file(2, 2, 1)), InvalidGraphic);
    EXPECT_THROW(read_codec_header(fake_file(2, 2, 1)), InvalidGraphic);
}

// The converter gives the system's codecs only files named for them, and reads bitmaps
// and JPEG streams as before whatever their names.
class ConverterRoute : public SystemCodecTest {
  protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = std::filesystem::temp_directory_path() / ("velmaro-codec-" + name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        written.push_back(path);
        return path.string();
    }
    void TearDown() override {
        for (const auto& p : written)
            std::filesystem::remove(p);
        SystemCodecTest::TearDown();
    }
    std::vector<std::filesystem::path> written;
};

TEST_F(ConverterRoute, CodecFilesAtTheTickOthersAsBefore) {
    wallpaper::ImageConverter c;
    const int id = c.load(write("a.webp", fake_file(3, 2, 1)));
    EXPECT_EQ(pixel_calls, 0); // the header only at the request
    const BmpImage staged = BmpImage::parse(c.bmp_bytes(id, kBackground));
    EXPECT_EQ(staged.bit_count(), 24);
    EXPECT_EQ(staged.to_pixels().bgra, decode_codec_picture(fake_file(3, 2, 1), kBackground).bgra);
    const Screen screen{8, 6, kBackground};
    EXPECT_EQ(BmpImage::parse(c.screen_bmp_bytes(id, ScreenFit::Fill, screen)).width(), 8);

    for (const char* name : {"b.jpg", "c.bmp", "d.txt"})
        EXPECT_THROW(c.load(write(name, fake_file(3, 2, 1))), InvalidGraphic) << name;
    EXPECT_THROW(c.load(write("e.png", fake_file(20000, 20000, 1))), InvalidGraphic);
    // A bitmap named .png is still a bitmap; the buffer of the failed loads is gone.
    const std::vector<std::uint8_t> bmp = write_bmp24(decode_codec_picture(fake_file(4, 4, 1), 0));
    const int bmp_id = c.load(write("f.png", bmp));
    EXPECT_EQ(c.bmp_bytes(bmp_id), bmp);
    EXPECT_THROW(c.bmp_bytes(id), Error);
}

} // namespace
} // namespace velmaro::imaging
