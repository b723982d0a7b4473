// Exif orientation: the tag's reader on good and broken blocks, the pixels turned
// upright, and a JPEG that carries the tag seen upright by the preview's picture and the
// converter's bitmap file.
#include "imaging/bmp.h"
#include "imaging/exif.h"
#include "imaging/jpeg.h"
#include "imaging/orientation.h"
#include "imaging/picture.h"
#include "imaging_test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velmaro::imaging {
namespace {

using testing::data_file;

// An Exif block as cameras write it: "Exif\0\0", a TIFF header, IFD0 with an unrelated
// tag, then the orientation as a SHORT, then the next-IFD offset.
std::vector<std::uint8_t> exif_block(bool big_endian, std::uint16_t orientation, std::uint16_t type = 3,
                                     std::uint32_t next_ifd = 0) {
    std::vector<std::uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    auto u16 = [&](std::uint16_t v) {
        b.push_back(std::uint8_t(big_endian ? v >> 8 : v));
        b.push_back(std::uint8_t(big_endian ? v : v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        if (big_endian) {
            u16(std::uint16_t(v >> 16));
            u16(std::uint16_t(v));
        } else {
            u16(std::uint16_t(v));
            u16(std::uint16_t(v >> 16));
        }
    };
    b.push_back(big_endian ? 'M' : 'I');
    b.push_back(big_endian ? 'M' : 'I');
    u16(42);
    u32(8);
    u16(2);
    u16(0x010F), u16(2), u32(4), u32(0x00414243); // Make, "ABC\0" in place
    u16(0x0112), u16(type), u32(1), u16(orientation), u16(0);
    u32(next_ifd);
    return b;
}

// The JPEG with an APP1 segment holding `payload` right after its start marker.
std::vector<std::uint8_t> with_app1(const std::vector<std::uint8_t>& jpeg,
                                    const std::vector<std::uint8_t>& payload) {
    const std::size_t len = payload.size() + 2;
    std::vector<std::uint8_t> out;
    out.reserve(jpeg.size() + len + 2);
    for (std::uint8_t byte : {std::uint8_t{0xFF}, std::uint8_t{0xD8}, std::uint8_t{0xFF}, std::uint8_t{0xE1},
                              std::uint8_t(len >> 8), std::uint8_t(len)})
        out.push_back(byte);
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

TEST(ExifOrientation, EveryValueInBothByteOrders) {
    for (bool big : {false, true})
        for (std::uint16_t v = 1; v <= 8; ++v)
            EXPECT_EQ(exif_orientation(exif_block(big, v)), v) << (big ? "MM " : "II ") << v;
}

TEST(ExifOrientation, LongValuesAndAMissingNextLinkAsReadersAccept) {
    for (bool big : {false, true}) {
        // A LONG fills the value field: in big-endian order the value is in its last byte.
        std::vector<std::uint8_t> as_long = exif_block(big, 0, /*type LONG*/ 4);
        as_long[6 + 30 + (big ? 3 : 0)] = 6;
        EXPECT_EQ(exif_orientation(as_long), 6) << (big ? "MM" : "II");
        std::vector<std::uint8_t> no_link = exif_block(big, 8);
        no_link.resize(no_link.size() - 4);
        EXPECT_EQ(exif_orientation(no_link), 8) << "IFD0 ends the block " << (big ? "MM" : "II");
        // A TIFF file is the same structure without the Exif signature.
        EXPECT_EQ(tiff_orientation(std::span(no_link).subspan(6)), 8);
        EXPECT_TRUE(is_tiff(std::span(no_link).subspan(6)));
    }
    EXPECT_FALSE(is_tiff(exif_block(false, 1)));
}

TEST(ExifOrientation, AnythingOddGivesThePictureAsStored) {
    EXPECT_EQ(exif_orientation({}), 1);
    EXPECT_EQ(exif_orientation(exif_block(false, 0)), 1);
    EXPECT_EQ(exif_orientation(exif_block(true, 9)), 1);
    EXPECT_EQ(exif_orientation(exif_block(false, 6, /*type RATIONAL*/ 5)), 1);
    // Cut anywhere before the value: never read past the end.
    const std::vector<std::uint8_t> good = exif_block(true, 6);
    for (std::size_t n = 0; n + 2 < good.size() - 4; ++n)
        EXPECT_EQ(exif_orientation(std::span(good).first(n)), 1) << "cut at " << n;
    // IFD0 far outside the block, and an entry count that runs past it.
    std::vector<std::uint8_t> outside = good;
    outside[6 + 4] = 0x7F;
    EXPECT_EQ(exif_orientation(outside), 1);
    std::vector<std::uint8_t> many = exif_block(false, 6);
    many[6 + 8] = 0xFF, many[6 + 9] = 0xFF;
    EXPECT_EQ(exif_orientation(many), 1) << "a count that runs past the block spoils the whole directory";
    // An IFD chain that loops back on itself is never followed.
    EXPECT_EQ(exif_orientation(exif_block(false, 3, 3, 8)), 3);
    // Not a TIFF header.
    std::vector<std::uint8_t> bad_magic = exif_block(false, 6);
    bad_magic[6 + 2] = 43;
    EXPECT_EQ(exif_orientation(bad_magic), 1);
}

// A 3 x 2 stored picture whose pixels are numbered 0..5 row by row, turned upright; the
// expected layouts are those of the Exif standard's pictures of each value.
TEST(Orientation, TurnsAndMirrorsAsTheTagSays) {
    const std::vector<std::uint8_t> stored = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5};
    const ConstView src{stored.data(), 3, 2, 9, 3};
    const std::vector<std::vector<int>> upright = {
        {0, 1, 2, 3, 4, 5}, // 1: rows of 3
        {2, 1, 0, 5, 4, 3}, // 2: mirrored left to right
        {5, 4, 3, 2, 1, 0}, // 3: half a turn
        {3, 4, 5, 0, 1, 2}, // 4: mirrored top to bottom
        {0, 3, 1, 4, 2, 5}, // 5: transposed, rows of 2
        {3, 0, 4, 1, 5, 2}, // 6: a quarter clockwise
        {5, 2, 4, 1, 3, 0}, // 7: transverse
        {2, 5, 1, 4, 0, 3}, // 8: a quarter anticlockwise
    };
    for (int o = 1; o <= 8; ++o) {
        const Size size = upright_size(3, 2, o);
        EXPECT_EQ(size, (o >= 5 ? Size{2, 3} : Size{3, 2}));
        std::vector<std::uint8_t> out(static_cast<std::size_t>(size.width) * size.height * 4, 9);
        orient_into(src, o, View{out.data(), size.width, size.height, size.width * 4, 4});
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(out[i * 4], upright[o - 1][i]) << "orientation " << o << " pixel " << i;
            EXPECT_EQ(out[i * 4 + 3], 255);
        }
    }
}

TEST(Orientation, JpegPicturesComeOutUpright) {
    const std::vector<std::uint8_t> plain = data_file("jpeg-base.jpg");
    const Pixels stored = decode_jpeg(plain);
    for (bool big : {false, true})
        for (int o = 1; o <= 8; ++o) {
            const std::vector<std::uint8_t> tagged = with_app1(plain, exif_block(big, std::uint16_t(o)));
            EXPECT_EQ(read_jpeg_header(tagged).orientation, o);
            const Pixels expected = orient(stored, o);
            // The converter's full-size bitmap file.
            EXPECT_EQ(BmpImage::parse(jpeg_to_bmp24(tagged)).to_pixels().bgra, expected.bgra) << o;
            // The preview's picture: the labels' size and the pixels it draws.
            const Picture picture = Picture::load_bytes("p.jpg", tagged);
            EXPECT_EQ(picture.width(), expected.width);
            EXPECT_EQ(picture.height(), expected.height);
            const Pixels& shown = picture.pixels_for();
            EXPECT_EQ(shown.width, expected.width);
            EXPECT_EQ(shown.bgra, expected.bgra) << o;
        }
    // A broken block leaves the picture as stored and is no error.
    std::vector<std::uint8_t> broken = exif_block(false, 6);
    broken.resize(14);
    const std::vector<std::uint8_t> tagged = with_app1(plain, broken);
    EXPECT_EQ(read_jpeg_header(tagged).orientation, 1);
    EXPECT_EQ(BmpImage::parse(jpeg_to_bmp24(tagged)).to_pixels().bgra, stored.bgra);
}

TEST(Orientation, ThePreviewDecodesAQuarterTurnedPictureAtTheScaleItsFrameNeeds) {
    const std::vector<std::uint8_t> plain = data_file("jpeg-base.jpg");
    const JpegHeader h = read_jpeg_header(plain);
    const Picture picture = Picture::load_bytes("p.jpg", with_app1(plain, exif_block(false, 6)));
    // Upright the frame's width runs along the stored height.
    const Pixels& shown = picture.pixels_for(h.height / 2, h.width / 2);
    EXPECT_EQ(shown.width, (h.height * 4 + 7) / 8);
    EXPECT_EQ(shown.height, (h.width * 4 + 7) / 8);
}

} // namespace
} // namespace velmaro::imaging
