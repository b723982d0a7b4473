#include "imaging/bmp.h"

#include "base/error.h"
#include "imaging_test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace velmaro::imaging {
namespace {

using testing::data_file;
using testing::max_channel_difference;
using testing::read_ppm;

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t i32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(u32_at(b, at));
}
std::uint16_t u16_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Builds bitmap files byte by byte, for the variants no tool writes and for broken files.
struct BmpLayout {
    std::uint32_t header_size = 40;
    std::int64_t width = 4, height = 2;
    std::uint16_t planes = 1, bit_count = 24;
    std::uint32_t compression = 0, size_image = 0, colors_used = 0;
    std::vector<std::uint32_t> masks;   // from byte 54 on: inside a longer header, after it for the rest
    std::vector<std::uint32_t> palette; // 0x00RRGGBB; 3 bytes each for a core header
    std::vector<std::uint8_t> pixels;
    std::int64_t offset = -1; // pixel offset; -1: right after the colour table
    const char* signature = "BM";
};

void add16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void add32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    add16(b, v);
    add16(b, v >> 16);
}

std::vector<std::uint8_t> build(const BmpLayout& s) {
    std::vector<std::uint8_t> b;
    b.push_back(static_cast<std::uint8_t>(s.signature[0]));
    b.push_back(static_cast<std::uint8_t>(s.signature[1]));
    add32(b, 0); // file size, patched below
    add32(b, 0);
    add32(b, 0); // pixel offset, patched below
    add32(b, s.header_size);
    if (s.header_size == 12) {
        add16(b, static_cast<std::uint32_t>(s.width));
        add16(b, static_cast<std::uint32_t>(s.height));
        add16(b, s.planes);
        add16(b, s.bit_count);
    } else {
        std::vector<std::uint8_t> h;
        add32(h, static_cast<std::uint32_t>(s.width));
        add32(h, static_cast<std::uint32_t>(s.height));
        add16(h, s.planes);
        add16(h, s.bit_count);
        add32(h, s.compression);
        add32(h, s.size_image);
        add32(h, 2835);
        add32(h, 2835);
        add32(h, s.colors_used);
        add32(h, 0);
        h.resize(std::min<std::size_t>(h.size(), s.header_size - 4)); // a short OS/2 header
        for (std::uint32_t m : s.masks)
            add32(h, m);
        h.resize(std::max<std::size_t>(h.size(), s.header_size - 4), 0);
        b.insert(b.end(), h.begin(), h.end());
    }
    for (std::uint32_t c : s.palette) {
        b.push_back(static_cast<std::uint8_t>(c));
        b.push_back(static_cast<std::uint8_t>(c >> 8));
        b.push_back(static_cast<std::uint8_t>(c >> 16));
        if (s.header_size != 12)
            b.push_back(0);
    }
    const std::size_t offset = s.offset >= 0 ? static_cast<std::size_t>(s.offset) : b.size();
    b.resize(std::max(b.size(), offset), 0);
    b.resize(offset);
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    const auto size = static_cast<std::uint32_t>(b.size());
    std::memcpy(&b[2], &size, 4); // tests run on little-endian machines only
    const auto off = static_cast<std::uint32_t>(offset);
    std::memcpy(&b[10], &off, 4);
    return b;
}

std::uint32_t pixel(const Pixels& p, int x, int y) {
    const std::uint8_t* q = p.row(y) + 4 * x;
    EXPECT_EQ(q[3], 255);
    return q[0] | (q[1] << 8) | (static_cast<std::uint32_t>(q[2]) << 16);
}

void expect_invalid(const std::vector<std::uint8_t>& file, const char* what) {
    EXPECT_THROW(BmpImage::parse(file), InvalidGraphic) << what;
}

// ---------------------------------------------------------------------------------------
// Files written by ImageMagick, decoded against ImageMagick's own decode.

TEST(BmpRead, EveryVariantWrittenByImageMagickDecodesToItsPixels) {
    for (const char* name :
         {"bmp3-24",       "bmp3-8",    "bmp3-4",    "bmp3-1",   "bmp3-rle8",       "bmp3-32",
          "bmp4-24",       "bmp4-32",   "bmp4-565",  "bmp4-555", "bmp4-8",          "bmp4-16-rgb",
          "bmp2-24",       "bmp2-8",    "bmp2-4",    "bmp2-1",   "bmp3-24-topdown", "bmp4-32-topdown",
          "fig-24-100x50", "fig-8-256", "fig-core-4"}) {
        SCOPED_TRACE(name);
        const BmpImage img = BmpImage::parse(data_file(std::string(name) + ".bmp"));
        EXPECT_EQ(max_channel_difference(img.to_pixels(), read_ppm(std::string(name) + ".ppm")), 0);
    }
}

TEST(BmpRead, KeepsWhatTheWriterNeeds) {
    const BmpImage core = BmpImage::parse(data_file("bmp2-4.bmp"));
    EXPECT_EQ(core.header_kind(), BmpHeaderKind::Core);
    EXPECT_EQ(core.bit_count(), 4);
    EXPECT_EQ(core.palette().size(), 16u);

    const BmpImage v5 = BmpImage::parse(data_file("bmp4-565.bmp"));
    EXPECT_EQ(v5.header_kind(), BmpHeaderKind::InfoV5);
    EXPECT_EQ(v5.compression(), kBmpBitFields);
    ASSERT_TRUE(v5.has_masks());
    EXPECT_EQ(v5.masks()[0], 0xF800u);
    EXPECT_EQ(v5.masks()[1], 0x07E0u);
    EXPECT_EQ(v5.masks()[2], 0x001Fu);

    const BmpImage top = BmpImage::parse(data_file("bmp3-24-topdown.bmp"));
    EXPECT_TRUE(top.top_down());
    EXPECT_EQ(top.width(), 97);
    EXPECT_EQ(top.height(), 61);

    const BmpImage rle = BmpImage::parse(data_file("bmp3-rle8.bmp"));
    EXPECT_TRUE(rle.is_run_length_encoded());
}

// ---------------------------------------------------------------------------------------
// Variants built by hand.

TEST(BmpRead, Rle4WithAbsoluteRunsSkipsAndEndOfBitmap) {
    BmpLayout s;
    s.width = 6;
    s.height = 3;
    s.bit_count = 4;
    s.compression = kBmpRle4;
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    s.pixels = {
        5, 0x12,             // bottom row: 1 2 1 2 1
        0, 0,                // end of line
        0, 3,    0x31, 0x20, // absolute: 3 1 2 (two bytes, already 16-bit aligned)
        0, 2,    2,    1,    // move right 2 and up 1 (to x 5, top row)
        1, 0x30,             // one pixel of index 3
        0, 1,                // end of bitmap
    };
    const BmpImage img = BmpImage::parse(build(s));
    const Pixels p = img.to_pixels();
    ASSERT_EQ(p.width, 6);
    ASSERT_EQ(p.height, 3);
    // Bottom file row is the last picture row; skipped pixels take colour 0.
    const std::uint32_t k = 0x000000, r = 0xFF0000, g = 0x00FF00, b = 0x0000FF;
    const std::uint32_t expected[3][6] = {{k, k, k, k, k, b}, {b, r, g, k, k, k}, {r, g, r, g, r, k}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixel(p, x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(img.to_bmp_file(), build(s)) << "an RLE source is written back as read";
}

TEST(BmpRead, RleWithoutEndCodeIsAcceptedOnlyWhenEveryRowIsThere) {
    BmpLayout s;
    s.width = 2;
    s.height = 2;
    s.bit_count = 8;
    s.compression = kBmpRle8;
    s.palette = {0x112233, 0x445566};
    s.pixels = {2, 0, 0, 0, 2, 1}; // two rows, no end-of-bitmap code
    const Pixels p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0x445566u);
    EXPECT_EQ(pixel(p, 1, 1), 0x112233u);
    s.pixels = {2, 0, 0, 0}; // the top row is missing: a cut-off file
    expect_invalid(build(s), "RLE data ending before the last row");
}

TEST(BmpRead, RunsIntoTheRowPaddingAreDropped) {
    // ImageMagick codes each row up to its padded width (3 pixels pad to 4 in RLE8).
    BmpLayout s;
    s.width = 3;
    s.height = 1;
    s.bit_count = 8;
    s.compression = kBmpRle8;
    s.palette = {0x111111, 0x222222};
    s.pixels = {2, 1, 2, 0, 0, 1};
    const Pixels p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 1, 0), 0x222222u);
    EXPECT_EQ(pixel(p, 2, 0), 0x111111u);
    s.pixels = {2, 1, 3, 0, 0, 1};
    expect_invalid(build(s), "a run beyond the padded width");
}

TEST(BmpRead, Os2HeadersOfTheSecondVersion) {
    BmpLayout s;
    s.header_size = 64;
    s.width = 3;
    s.height = 1;
    s.bit_count = 8;
    s.palette = {0x102030, 0x405060, 0x708090};
    s.colors_used = 3;
    s.pixels = {2, 1, 0, 0};
    const BmpImage big = BmpImage::parse(build(s));
    EXPECT_EQ(big.header_kind(), BmpHeaderKind::Os2V2);
    const Pixels p = big.to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0x708090u);
    EXPECT_EQ(pixel(p, 2, 0), 0x102030u);

    // The shortest form stops after the depth; everything else counts as 0.
    BmpLayout t;
    t.header_size = 16;
    t.width = 2;
    t.height = 1;
    t.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    const Pixels q = BmpImage::parse(build(t)).to_pixels();
    EXPECT_EQ(pixel(q, 0, 0), 0x030201u);
    EXPECT_EQ(pixel(q, 1, 0), 0x060504u);

    s.compression = 3; // Huffman 1D in OS/2 terms, not bit fields
    expect_invalid(build(s), "OS/2 Huffman compression");
}

TEST(BmpRead, BitFieldsAfterAnInfoHeader) {
    BmpLayout s;
    s.width = 2;
    s.height = 1;
    s.bit_count = 16;
    s.compression = kBmpBitFields;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = {0x00, 0xF8, 0xE0, 0x07}; // pure red, pure green
    Pixels p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(p, 1, 0), 0x00FF00u);

    // 10 bits a channel keep their top 8; 1-bit and 3-bit masks widen to the full range.
    s.bit_count = 32;
    s.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    s.pixels = {0xFF, 0x03, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}; // blue at its top, red at its top
    p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0x0000FFu);
    EXPECT_EQ(pixel(p, 1, 0), 0xFF0000u);
    s.compression = kBmpAlphaBitFields;
    s.masks = {0x80000000, 0x70000000, 0x00000007, 0x00FF0000};
    s.pixels = {0x05, 0x00, 0x00, 0xA0, 0x00, 0x00, 0x00, 0x00}; // r 1, g 2 (of 7), b 5 (of 7)
    p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0xFF49B6u);
    EXPECT_EQ(pixel(p, 1, 0), 0x000000u);
}

TEST(BmpRead, MasksInsideAndAfterEveryHeaderLength) {
    // The masks lie in one block after the info header's own 40 bytes of fields: inside a
    // 52-byte header the three colour masks, inside a 56-byte or longer one the alpha mask
    // too, after the header whatever it does not hold.
    struct Case {
        std::uint32_t header_size, compression;
        std::size_t masks_in_file, pixel_offset;
    };
    for (const Case c : {Case{40, kBmpBitFields, 3, 66}, Case{40, kBmpAlphaBitFields, 4, 70},
                         Case{52, kBmpBitFields, 3, 66}, Case{52, kBmpAlphaBitFields, 4, 70},
                         Case{56, kBmpBitFields, 4, 70}, Case{56, kBmpAlphaBitFields, 4, 70},
                         Case{108, kBmpAlphaBitFields, 4, 122}, Case{124, kBmpBitFields, 4, 138}}) {
        SCOPED_TRACE(std::to_string(c.header_size) + " bytes, compression " + std::to_string(c.compression));
        BmpLayout s;
        s.header_size = c.header_size;
        s.width = 1;
        s.height = 1;
        s.bit_count = 32;
        s.compression = c.compression;
        s.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
        s.masks.resize(c.masks_in_file);
        s.pixels = {0x11, 0x22, 0x33, 0x44};
        const std::vector<std::uint8_t> file = build(s);
        ASSERT_EQ(u32_at(file, 10), c.pixel_offset);
        const BmpImage img = BmpImage::parse(file);
        EXPECT_EQ(img.masks()[0], 0x0000FF00u);
        EXPECT_EQ(img.masks()[2], 0xFF000000u);
        EXPECT_EQ(img.masks()[3], c.masks_in_file == 4 ? 0xFFu : 0u);
        EXPECT_EQ(pixel(img.to_pixels(), 0, 0), 0x223344u);
    }
}

TEST(BmpRead, ShortColourTables) {
    // The count in the header names three entries.
    BmpLayout s;
    s.width = 3;
    s.height = 1;
    s.bit_count = 8;
    s.colors_used = 3;
    s.palette = {0xAA0000, 0x00BB00, 0x0000CC};
    s.pixels = {0, 1, 2, 0};
    const BmpImage counted = BmpImage::parse(build(s));
    EXPECT_EQ(counted.palette().size(), 3u);
    EXPECT_EQ(pixel(counted.to_pixels(), 2, 0), 0x0000CCu);

    // No count, but the pixels start after two entries: the table stops there.
    s.colors_used = 0;
    s.palette = {0xAA0000, 0x00BB00};
    s.pixels = {1, 0, 1, 0};
    const BmpImage cut = BmpImage::parse(build(s));
    EXPECT_EQ(cut.palette().size(), 2u);
    EXPECT_EQ(pixel(cut.to_pixels(), 0, 0), 0x00BB00u);

    // A 1-bit picture with a one-entry table may use only index 0.
    BmpLayout one;
    one.width = 9;
    one.height = 1;
    one.bit_count = 1;
    one.colors_used = 1;
    one.palette = {0x123456};
    one.pixels = {0x00, 0x7F, 0, 0}; // the 9th pixel is 0, the padding bits do not count
    EXPECT_EQ(pixel(BmpImage::parse(build(one)).to_pixels(), 8, 0), 0x123456u);
    one.pixels = {0x00, 0x80, 0, 0};
    expect_invalid(build(one), "1-bit index 1 with a one-entry table");
}

TEST(BmpRead, TheLastRowMayLackItsPadding) {
    BmpLayout s;
    s.width = 1;
    s.height = 2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6}; // second row without its padding byte
    const Pixels p = BmpImage::parse(build(s)).to_pixels();
    EXPECT_EQ(pixel(p, 0, 0), 0x060504u);
    EXPECT_EQ(pixel(p, 0, 1), 0x030201u);
    s.pixels.pop_back();
    expect_invalid(build(s), "a row short by a pixel byte");
}

// ---------------------------------------------------------------------------------------
// Malformed files, one group per kind of fault.

BmpLayout small24() {
    BmpLayout s;
    s.width = 2;
    s.height = 2;
    s.pixels.assign(16, 0x55);
    return s;
}

TEST(BmpMalformed, SignatureAndHeaderSize) {
    expect_invalid({}, "empty file");
    expect_invalid({'B', 'M'}, "signature only");
    BmpLayout s = small24();
    s.signature = "BA";
    expect_invalid(build(s), "OS/2 bitmap array");
    for (std::uint32_t size : {0u, 4u, 11u, 13u, 39u, 41u, 66u, 100u, 125u, 4000u, 0xFFFFFFF0u}) {
        std::vector<std::uint8_t> f = build(small24());
        std::memcpy(&f[14], &size, 4);
        expect_invalid(f, ("header size " + std::to_string(size)).c_str());
    }
    std::vector<std::uint8_t> f = build(small24());
    f.resize(40); // the info header itself is cut off
    expect_invalid(f, "truncated header");
}

TEST(BmpMalformed, PlanesDepthAndCompression) {
    BmpLayout s = small24();
    for (std::uint16_t planes : {0, 2}) {
        s.planes = planes;
        expect_invalid(build(s), "planes");
    }
    s.planes = 1;
    for (std::uint16_t bpp : {0, 2, 7, 12, 48, 64}) {
        s.bit_count = bpp;
        expect_invalid(build(s), "depth");
    }
    BmpLayout core = small24();
    core.header_size = 12;
    core.bit_count = 32;
    expect_invalid(build(core), "32 bits in a core header");
    s = small24();
    for (std::uint32_t c : {1u, 2u, 3u, 4u, 5u, 7u, 0x7FFFFFFFu}) {
        s.compression = c;
        expect_invalid(build(s), ("compression " + std::to_string(c) + " at 24 bits").c_str());
    }
}

TEST(BmpMalformed, SizesAndTheirArithmetic) {
    BmpLayout s = small24();
    for (auto [w, h] : std::initializer_list<std::pair<std::int64_t, std::int64_t>>{{0, 2},
                                                                                    {2, 0},
                                                                                    {-2, 2},
                                                                                    {0x7FFFFFFF, 0x7FFFFFFF},
                                                                                    {0x7FFFFFFF, -0x7FFFFFFF},
                                                                                    {2, -0x80000000LL},
                                                                                    {0x40000000, 2},
                                                                                    {65536, 65536}}) {
        s.width = w;
        s.height = h;
        expect_invalid(build(s), ("size " + std::to_string(w) + " x " + std::to_string(h)).c_str());
    }
    // A 24-bit 3,000,000 x 2,000,000 header on a 1 KB file, and one just under the pixel
    // ceiling that the file cannot fill either: refused before anything that size is
    // allocated (under AddressSanitizer an attempt at terabytes would abort the test).
    s.width = 3000000;
    s.height = 2000000;
    s.pixels.assign(1024 - 54, 0);
    expect_invalid(build(s), "3,000,000 x 2,000,000 on 1 KB");
    s.width = 16000;
    s.height = 16000;
    expect_invalid(build(s), "16000 x 16000 on 1 KB");
    // The same for run-length data: a few bytes cannot justify 16000 x 16000.
    BmpLayout r;
    r.width = 16000;
    r.height = 16000;
    r.bit_count = 8;
    r.compression = kBmpRle8;
    r.palette = {0};
    r.pixels = {0, 1};
    expect_invalid(build(r), "RLE 16000 x 16000 on a few bytes");
}

TEST(BmpMalformed, PixelOffsetAndTruncation) {
    std::vector<std::uint8_t> f = build(small24());
    const std::uint32_t past_end = static_cast<std::uint32_t>(f.size());
    std::memcpy(&f[10], &past_end, 4);
    expect_invalid(f, "pixel offset at the end");
    f = build(small24());
    const std::uint32_t inside_header = 30;
    std::memcpy(&f[10], &inside_header, 4);
    expect_invalid(f, "pixel offset inside the header");
    BmpLayout s = small24();
    s.pixels.resize(7);
    expect_invalid(build(s), "pixel rows cut off");
    BmpLayout p;
    p.bit_count = 8;
    p.width = 4;
    p.height = 1;
    p.pixels = {0, 0, 0, 0};
    expect_invalid(build(p), "8-bit without any colour table");
    BmpLayout m = small24();
    m.bit_count = 16;
    m.compression = kBmpBitFields;
    std::vector<std::uint8_t> cut = build(m);
    cut.resize(14 + 40 + 6); // the masks end early
    expect_invalid(cut, "masks cut off");
}

TEST(BmpMalformed, HeadersMasksAndTablesThatEndWithTheFile) {
    // A 52-byte header with alpha bit fields, the file ending where the alpha mask should
    // follow: 66 bytes.
    BmpLayout v2;
    v2.header_size = 52;
    v2.width = 1;
    v2.height = 1;
    v2.bit_count = 32;
    v2.compression = kBmpAlphaBitFields;
    v2.masks = {0xFF0000, 0xFF00, 0xFF};
    const std::vector<std::uint8_t> short_v2 = build(v2);
    ASSERT_EQ(short_v2.size(), 66u);
    expect_invalid(short_v2, "alpha mask missing after a 52-byte header");
    // With the alpha mask there, the pixels cannot start on it.
    v2.masks.push_back(0xFF000000);
    v2.pixels = {1, 2, 3, 4};
    std::vector<std::uint8_t> f = build(v2);
    EXPECT_NO_THROW(BmpImage::parse(f));
    const std::uint32_t on_the_mask = 66;
    std::memcpy(&f[10], &on_the_mask, 4);
    expect_invalid(f, "pixels starting on the alpha mask");

    // Every header length, every mask block and a colour table, cut at each byte inside.
    struct Part {
        BmpLayout layout;
        std::size_t from, to; // the bytes that must all be there
        const char* what;
    };
    auto layout = [](std::uint32_t header_size, std::uint16_t bit_count, std::uint32_t compression,
                     std::vector<std::uint32_t> masks) {
        BmpLayout s;
        s.header_size = header_size;
        s.width = 1;
        s.height = 1;
        s.bit_count = bit_count;
        s.compression = compression;
        s.masks = std::move(masks);
        s.pixels = {1, 2, 3, 4};
        if (bit_count <= 8)
            s.palette = {0x102030, 0x405060};
        return s;
    };
    const std::vector<std::uint32_t> three = {0xF800, 0x07E0, 0x001F},
                                     four = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const Part parts[] = {
        {layout(12, 24, kBmpRgb, {}), 14, 26, "core header"},
        {layout(16, 24, kBmpRgb, {}), 14, 30, "16-byte OS/2 header"},
        {layout(64, 24, kBmpRgb, {}), 14, 78, "64-byte OS/2 header"},
        {layout(40, 24, kBmpRgb, {}), 14, 54, "info header"},
        {layout(52, 16, kBmpBitFields, three), 14, 66, "52-byte header"},
        {layout(56, 32, kBmpAlphaBitFields, four), 14, 70, "56-byte header"},
        {layout(108, 32, kBmpBitFields, four), 14, 122, "108-byte header"},
        {layout(124, 32, kBmpAlphaBitFields, four), 14, 138, "124-byte header"},
        {layout(40, 16, kBmpBitFields, three), 54, 66, "three masks after an info header"},
        {layout(40, 32, kBmpAlphaBitFields, four), 54, 70, "four masks after an info header"},
        {layout(52, 32, kBmpAlphaBitFields, four), 66, 70, "alpha mask after a 52-byte header"},
        {layout(40, 8, kBmpRgb, {}), 54, 62, "colour table"},
        {layout(12, 8, kBmpRgb, {}), 26, 32, "core colour table"},
    };
    for (const Part& part : parts) {
        const std::vector<std::uint8_t> whole = build(part.layout);
        ASSERT_NO_THROW(BmpImage::parse(whole)) << part.what;
        for (std::size_t size = part.from; size < part.to; ++size) {
            const std::vector<std::uint8_t> cut(whole.begin(),
                                                whole.begin() + static_cast<std::ptrdiff_t>(size));
            expect_invalid(cut, (std::string(part.what) + " cut at " + std::to_string(size)).c_str());
        }
    }
}

TEST(BmpMalformed, RunLengthCodesOutsideThePicture) {
    BmpLayout s;
    s.width = 4;
    s.height = 2;
    s.bit_count = 8;
    s.compression = kBmpRle8;
    s.palette = {0, 0xFFFFFF};
    auto with = [&](std::vector<std::uint8_t> codes) {
        s.pixels = std::move(codes);
        return build(s);
    };
    expect_invalid(with({5, 1, 0, 1}), "run longer than the row");
    expect_invalid(with({3, 1, 2, 1, 0, 1}), "second run past the row end");
    expect_invalid(with({0, 5, 1, 1, 1, 1, 1, 0, 0, 1}), "absolute run past the row end");
    expect_invalid(with({0, 0, 0, 0, 1, 1, 0, 1}), "pixels above the top row");
    expect_invalid(with({0, 2, 5, 0, 0, 1}), "move right past the row end");
    expect_invalid(with({0, 2, 0, 2, 0, 1}), "move up past the top");
    expect_invalid(with({0, 2, 0xFF, 0xFF, 1, 1, 0, 1}), "move far outside");
    expect_invalid(with({4, 1, 0}), "code cut in half");
    expect_invalid(with({0, 4, 1, 1}), "absolute run cut off");
    expect_invalid(with({0, 2, 1}), "move cut off");
    expect_invalid(with({4, 2, 0, 1}), "run index beyond the table");
    expect_invalid(with({0, 3, 0, 1, 2, 0, 0, 1}), "absolute index beyond the table");
    // RLE4 counts pixels, not bytes.
    BmpLayout f = s;
    f.bit_count = 4;
    f.compression = kBmpRle4;
    f.pixels = {0, 9, 0x11, 0x11, 0x11, 0x11, 0x10, 0, 0, 1};
    expect_invalid(build(f), "RLE4 absolute run of 9 in a row of 4 (8 with its padding)");
    f.pixels = {4, 0x12, 0, 1};
    f.palette = {0, 0xFFFFFF};
    expect_invalid(build(f), "RLE4 run naming index 2");
    // Run-length data in top-down order is not defined.
    s.height = -2;
    s.pixels = {0, 1};
    expect_invalid(build(s), "top-down RLE");
}

TEST(BmpMalformed, IndicesBeyondTheTable) {
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.bit_count = 8;
    s.colors_used = 4;
    s.palette = {0, 1, 2, 3};
    s.pixels = {0, 3, 4, 0};
    expect_invalid(build(s), "8-bit index 4 of 4");
    s.bit_count = 4;
    s.pixels = {0x03, 0x50, 0, 0};
    expect_invalid(build(s), "4-bit index 5 of 4");
    // A full table takes every index.
    s.bit_count = 8;
    s.colors_used = 0;
    s.palette.assign(256, 0x808080);
    s.pixels = {255, 254, 0, 1};
    EXPECT_NO_THROW(BmpImage::parse(build(s)));
}

TEST(BmpMalformed, MasksThatSelectNothing) {
    BmpLayout s = small24();
    s.bit_count = 16;
    s.compression = kBmpBitFields;
    s.pixels.assign(8, 0);
    s.masks = {0, 0x07E0, 0x001F};
    expect_invalid(build(s), "zero red mask");
    s.masks = {0xF800, 0x07E0, 0};
    expect_invalid(build(s), "zero blue mask");
    s.masks = {0xF80000, 0x07E0, 0x001F};
    expect_invalid(build(s), "red mask outside a 16-bit pixel");
    s.header_size = 108;
    s.masks = {0, 0, 0, 0};
    expect_invalid(build(s), "zero masks inside a V4 header");
}

// ---------------------------------------------------------------------------------------
// Writing the staged file.

TEST(BmpWrite, TheStagedFileFigures) {
    const std::vector<std::uint8_t> out24 = BmpImage::parse(data_file("fig-24-100x50.bmp")).to_bmp_file();
    EXPECT_EQ(out24.size(), 15054u);
    EXPECT_EQ(u32_at(out24, 2), 15054u);
    EXPECT_EQ(u32_at(out24, 10), 54u);
    EXPECT_EQ(u32_at(out24, 34), 15000u);

    const std::vector<std::uint8_t> out8 = BmpImage::parse(data_file("fig-8-256.bmp")).to_bmp_file();
    EXPECT_EQ(u32_at(out8, 10), 1078u);
    EXPECT_EQ(u32_at(out8, 46), 256u);
    EXPECT_EQ(out8.size(), 1078u + 100 * 61);

    const std::vector<std::uint8_t> core = BmpImage::parse(data_file("fig-core-4.bmp")).to_bmp_file();
    EXPECT_EQ(u32_at(core, 10), 74u);
    EXPECT_EQ(u32_at(core, 14), 12u);
    EXPECT_EQ(u16_at(core, 18), 97);
    EXPECT_EQ(u16_at(core, 20), 61);
    EXPECT_EQ(u16_at(core, 22), 1);
    EXPECT_EQ(u16_at(core, 24), 4);
    EXPECT_EQ(core.size(), 74u + 52 * 61);
    // ImageMagick wrote these in exactly the layout the writer uses.
    EXPECT_EQ(core, data_file("fig-core-4.bmp"));
}

TEST(BmpWrite, RunLengthSourcesComeBackByteForByte) {
    const std::vector<std::uint8_t> source = data_file("bmp3-rle8.bmp");
    EXPECT_EQ(BmpImage::parse(source).to_bmp_file(), source);
}

TEST(BmpWrite, EveryVariantRewritesToTheSamePicture) {
    for (const char* name : {"bmp3-24", "bmp3-8", "bmp3-4", "bmp3-1", "bmp3-32", "bmp4-24", "bmp4-32",
                             "bmp4-565", "bmp4-555", "bmp4-8", "bmp4-16-rgb", "bmp2-24", "bmp2-8", "bmp2-4",
                             "bmp2-1", "bmp3-24-topdown", "bmp4-32-topdown"}) {
        SCOPED_TRACE(name);
        const BmpImage source = BmpImage::parse(data_file(std::string(name) + ".bmp"));
        const std::vector<std::uint8_t> out = source.to_bmp_file();
        ASSERT_GE(out.size(), 26u);
        EXPECT_EQ(u32_at(out, 2), out.size());
        const BmpImage again = BmpImage::parse(out);
        EXPECT_EQ(again.to_pixels().bgra, source.to_pixels().bgra);
        EXPECT_EQ(again.bit_count(), source.bit_count());
        EXPECT_EQ(again.top_down(), source.top_down());
        const bool core = source.header_kind() == BmpHeaderKind::Core;
        EXPECT_EQ(u32_at(out, 14), core ? 12u : 40u) << "longer headers are written as 40 bytes";
        if (core)
            continue;
        const std::size_t stride =
            (static_cast<std::size_t>(source.width()) * source.bit_count() + 31) / 32 * 4;
        EXPECT_EQ(u32_at(out, 34), stride * source.height());
        EXPECT_EQ(i32_at(out, 22), source.top_down() ? -source.height() : source.height());
        const std::size_t table = source.bit_count() <= 8 ? 4 * source.palette().size() : 0;
        const bool fields = source.compression() == kBmpBitFields;
        EXPECT_EQ(u32_at(out, 10), 54 + table + (fields ? 12 : 0));
        EXPECT_EQ(u32_at(out, 46), source.bit_count() <= 8 ? source.palette().size() : 0u);
        if (fields) {
            EXPECT_EQ(u32_at(out, 54), source.masks()[0]);
            EXPECT_EQ(u32_at(out, 58), source.masks()[1]);
            EXPECT_EQ(u32_at(out, 62), source.masks()[2]);
        }
    }
}

TEST(BmpWrite, HeaderFieldsAreMadeConsistent) {
    // No size given, a colour count on a 24-bit picture, and alpha bit fields.
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.colors_used = 5;
    s.palette = {1, 2, 3, 4, 5};
    s.pixels.assign(24, 0x40);
    std::vector<std::uint8_t> out = BmpImage::parse(build(s)).to_bmp_file();
    EXPECT_EQ(u32_at(out, 34), 24u) << "size filled in";
    EXPECT_EQ(u32_at(out, 46), 0u) << "no table written, so none announced";
    EXPECT_EQ(u32_at(out, 10), 54u);
    EXPECT_EQ(out.size(), 78u);

    BmpLayout a;
    a.width = 1;
    a.height = 1;
    a.bit_count = 32;
    a.compression = kBmpAlphaBitFields;
    a.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    a.pixels = {1, 2, 3, 4};
    out = BmpImage::parse(build(a)).to_bmp_file();
    EXPECT_EQ(u32_at(out, 30), std::uint32_t{kBmpBitFields});
    EXPECT_EQ(u32_at(out, 10), 66u);
    EXPECT_EQ(BmpImage::parse(out).to_pixels().bgra, (std::vector<std::uint8_t>{1, 2, 3, 255}));

    // A short table is written as it is, and counted.
    BmpLayout p;
    p.width = 2;
    p.height = 1;
    p.bit_count = 4;
    p.colors_used = 2;
    p.size_image = 4;
    p.palette = {0xFF0000, 0x0000FF};
    p.pixels = {0x10, 0, 0, 0};
    out = BmpImage::parse(build(p)).to_bmp_file();
    EXPECT_EQ(u32_at(out, 46), 2u);
    EXPECT_EQ(u32_at(out, 10), 14u + 40 + 8);
    EXPECT_EQ(out, build(p));
}

} // namespace
} // namespace velmaro::imaging
