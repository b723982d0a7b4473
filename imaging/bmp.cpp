#include "imaging/bmp.h"

#include "base/error.h"
#include "imaging/limits.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

namespace velmaro::imaging {

namespace {

[[noreturn]] void invalid() {
    throw InvalidGraphic("Not a valid bitmap picture");
}

std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t get32(const std::uint8_t* p) {
    return get16(p) | (static_cast<std::uint32_t>(get16(p + 2)) << 16);
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v);
    put16(out, v >> 16);
}

std::int64_t stride_for(std::int64_t width, int bit_count) {
    return (width * bit_count + 31) / 32 * 4;
}

// Turns the bits of one colour mask into an 8-bit channel value. Contiguous masks of up
// to 8 bits are widened by repeating their bits (5 bits abcde -> abcdeabc), which maps
// the full range onto 0..255 exactly; wider masks keep their top 8 bits.
class Channel {
  public:
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (mask == 0)
            return;
        shift_ = std::countr_zero(mask);
        const std::uint32_t top = mask >> shift_;
        contiguous_ = (top & (top + 1)) == 0;
        bits_ = contiguous_ ? std::popcount(top) : 0;
        max_ = top;
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (mask_ == 0)
            return 0;
        const std::uint32_t v = (pixel & mask_) >> shift_;
        if (!contiguous_)
            return static_cast<std::uint8_t>(std::uint64_t{v} * 255 / max_);
        if (bits_ >= 8)
            return static_cast<std::uint8_t>(v >> (bits_ - 8));
        std::uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits_)
            out = (out << bits_) | v;
        // `out` now holds at least 8 bits of repeated pattern; keep the top 8.
        const int total = (8 + bits_ - 1) / bits_ * bits_;
        return static_cast<std::uint8_t>(out >> (total - 8));
    }

  private:
    std::uint32_t mask_ = 0, max_ = 1;
    int shift_ = 0, bits_ = 0;
    bool contiguous_ = true;
};

void put_bgra(std::uint8_t* dst, std::uint32_t rgb) {
    dst[0] = static_cast<std::uint8_t>(rgb);
    dst[1] = static_cast<std::uint8_t>(rgb >> 8);
    dst[2] = static_cast<std::uint8_t>(rgb >> 16);
    dst[3] = 255;
}

// The n bytes of the file from `at` on; refuses the file when it ends before them. Every
// part of the file (headers, masks, colour table) is taken through here before it is read.
std::span<const std::uint8_t> bytes_at(std::span<const std::uint8_t> file, std::size_t at, std::size_t n) {
    if (at > file.size() || file.size() - at < n)
        invalid();
    return file.subspan(at, n);
}

// ---------------------------------------------------------------------------------------
// Run-length encoded data.

// Walks run-length encoded data (RLE8 or RLE4), calling `put(x, y, index)` for every
// pixel it sets inside the picture, with y counted from the bottom row. Encoders may code
// a row's padding too (ImageMagick does), so runs may reach the row's padded width; those
// pixels are dropped. Throws InvalidGraphic when a code would set a pixel beyond that,
// names an index outside the colour table, or the data end in the middle of a code or
// before the picture is complete.
template <class Put> class RleWalk {
  public:
    RleWalk(std::span<const std::uint8_t> codes, bool four_bit, int width, int height,
            std::size_t palette_size, Put& put)
        : codes_(codes), four_bit_(four_bit), width_(width), height_(height),
          padded_(four_bit ? (std::int64_t{width} + 7) / 8 * 8 : (std::int64_t{width} + 3) / 4 * 4),
          palette_size_(palette_size), put_(put) {}

    void walk() {
        for (;;) {
            if (at_ == codes_.size()) {
                // Some writers leave out the end-of-bitmap code; accept that only when every
                // row has been reached, so a cut-off file is still refused.
                if (y_ >= height_ || (y_ == height_ - 1 && x_ >= width_))
                    return;
                invalid();
            }
            need(2);
            const unsigned count = codes_[at_], value = codes_[at_ + 1];
            at_ += 2;
            if (count > 0) {
                run(count, value);
            } else if (value == 0) { // end of line
                x_ = 0;
                ++y_;
            } else if (value == 1) { // end of bitmap
                return;
            } else if (value == 2) {
                move();
            } else {
                absolute(value);
            }
        }
    }

  private:
    void need(std::size_t n) const {
        if (codes_.size() - at_ < n)
            invalid();
    }
    void check_run(std::int64_t count) const {
        if (y_ >= height_ || x_ + count > padded_)
            invalid();
    }
    void check_index(unsigned index) const {
        if (index >= palette_size_)
            invalid();
    }

    // A run of one index (RLE8) or two alternating indices (RLE4).
    void run(unsigned count, unsigned value) {
        check_run(count);
        const unsigned first = four_bit_ ? value >> 4 : value, second = four_bit_ ? value & 15 : value;
        check_index(first);
        if (count > 1)
            check_index(second);
        for (unsigned i = 0; i < count && x_ + i < width_; ++i)
            put_(static_cast<int>(x_ + i), static_cast<int>(y_), (i & 1) ? second : first);
        x_ += count;
    }

    // Move right and up.
    void move() {
        need(2);
        x_ += codes_[at_];
        y_ += codes_[at_ + 1];
        at_ += 2;
        if (x_ > padded_ || y_ >= height_)
            invalid();
    }

    // `count` indices stored as they are, padded to a 16-bit boundary.
    void absolute(unsigned count) {
        check_run(count);
        const std::size_t bytes = four_bit_ ? (count + 1) / 2 : count;
        need(bytes);
        for (unsigned i = 0; i < count; ++i) {
            const std::uint8_t byte = codes_[at_ + (four_bit_ ? i / 2 : i)];
            const unsigned index = !four_bit_ ? byte : (i & 1) ? byte & 15 : byte >> 4;
            check_index(index);
            if (x_ + i < width_)
                put_(static_cast<int>(x_ + i), static_cast<int>(y_), index);
        }
        x_ += count;
        at_ += bytes;
        if (bytes & 1) {
            need(1);
            ++at_;
        }
    }

    std::span<const std::uint8_t> codes_;
    bool four_bit_;
    std::int64_t width_, height_, padded_;
    std::size_t palette_size_;
    Put& put_;
    std::size_t at_ = 0;
    std::int64_t x_ = 0, y_ = 0;
};

template <class Put>
void walk_rle(std::span<const std::uint8_t> codes, bool four_bit, int width, int height,
              std::size_t palette_size, Put&& put) {
    RleWalk<std::remove_reference_t<Put>>(codes, four_bit, width, height, palette_size, put).walk();
}

// ---------------------------------------------------------------------------------------
// Reading: the header, the masks, the colour table, the rows.

struct Header {
    BmpHeaderKind kind;
    std::uint32_t size;
    std::int64_t width, height;
    unsigned planes, bit_count;
    std::uint32_t compression = kBmpRgb;
    std::int32_t x_ppm = 0, y_ppm = 0;
    std::uint32_t colors_used = 0, colors_important = 0;
};

BmpHeaderKind header_kind(std::uint32_t size) {
    switch (size) {
    case 12:
        return BmpHeaderKind::Core;
    case 40:
        return BmpHeaderKind::Info;
    case 52:
        return BmpHeaderKind::InfoV2;
    case 56:
        return BmpHeaderKind::InfoV3;
    case 108:
        return BmpHeaderKind::InfoV4;
    case 124:
        return BmpHeaderKind::InfoV5;
    default:
        // OS/2 2.x headers may stop after any of their 32-bit fields, from 16 bytes on.
        if (size < 16 || size > 64 || size % 4 != 0)
            invalid();
        return BmpHeaderKind::Os2V2;
    }
}

Header read_header(std::span<const std::uint8_t> file) {
    Header hd{};
    hd.size = get32(bytes_at(file, 14, 4).data());
    hd.kind = header_kind(hd.size);
    const std::uint8_t* h = bytes_at(file, 14, hd.size).data();
    if (hd.kind == BmpHeaderKind::Core) {
        hd.width = get16(h + 4);
        hd.height = get16(h + 6);
        hd.planes = get16(h + 8);
        hd.bit_count = get16(h + 10);
        return hd;
    }
    // Fields of the info header, read only as far as this header holds them; a short
    // OS/2 2.x header leaves the rest at 0.
    std::uint8_t info[40] = {};
    std::memcpy(info, h, std::min<std::uint32_t>(hd.size, 40));
    hd.width = static_cast<std::int32_t>(get32(info + 4));
    hd.height = static_cast<std::int32_t>(get32(info + 8));
    hd.planes = get16(info + 12);
    hd.bit_count = get16(info + 14);
    hd.compression = get32(info + 16);
    hd.x_ppm = static_cast<std::int32_t>(get32(info + 24));
    hd.y_ppm = static_cast<std::int32_t>(get32(info + 28));
    hd.colors_used = get32(info + 32);
    hd.colors_important = get32(info + 36);
    return hd;
}

bool valid_depth(const Header& hd) {
    switch (hd.bit_count) {
    case 1:
    case 4:
    case 8:
    case 24:
        return true;
    case 16:
    case 32:
        return hd.kind != BmpHeaderKind::Core;
    default:
        return false;
    }
}

bool valid_compression(const Header& hd) {
    const unsigned bpp = hd.bit_count;
    switch (hd.compression) {
    case kBmpRgb:
        return true;
    case kBmpRle8:
        return bpp == 8;
    case kBmpRle4:
        return bpp == 4;
    // For OS/2 2.x these codes mean Huffman 1D and RLE24, which nobody writes any more.
    case kBmpBitFields:
        return hd.kind != BmpHeaderKind::Os2V2 && (bpp == 16 || bpp == 32);
    case kBmpAlphaBitFields:
        return hd.kind != BmpHeaderKind::Os2V2 && (bpp == 16 || bpp == 32);
    default:
        return false; // JPEG or PNG inside a bitmap, or an unknown code
    }
}

bool has_bit_fields(std::uint32_t compression) {
    return compression == kBmpBitFields || compression == kBmpAlphaBitFields;
}

// Refuses what this reader cannot draw: the depth, the compression and the size.
void check_format(const Header& hd) {
    if (hd.planes != 1 || !valid_depth(hd) || !valid_compression(hd))
        invalid();
    // A negative height marks top-down rows; run-length encoded rows are always bottom-up.
    const bool top_down = hd.height < 0;
    const std::int64_t height = top_down ? -hd.height : hd.height;
    if (hd.width <= 0 || height <= 0 ||
        (top_down && hd.compression != kBmpRgb && !has_bit_fields(hd.compression)))
        invalid();
    if (hd.width * height > kMaxPixels)
        invalid();
}

struct Masks {
    std::array<std::uint32_t, 4> masks{};
    bool given = false;  // read from the file rather than the depth's default
    std::size_t end = 0; // where the headers and masks end in the file
};

// The masks of bit fields lie in one block right after the 40 bytes of the info header's
// own fields: inside a longer header as far as it holds them (a 52-byte header the three
// colour masks, a 56-byte or longer one the alpha mask too), after the header for the rest.
// So the alpha mask of alpha bit fields follows a 52-byte header, as all four masks follow
// a 40-byte one.
Masks read_masks(std::span<const std::uint8_t> file, const Header& hd) {
    Masks m;
    m.end = 14 + std::size_t{hd.size};
    if (!has_bit_fields(hd.compression)) {
        if (hd.bit_count == 16)
            m.masks = {0x7C00, 0x03E0, 0x001F, 0};
        else if (hd.bit_count == 32)
            m.masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
        return m;
    }
    const std::size_t needed = hd.compression == kBmpAlphaBitFields ? 4 : 3;
    const std::size_t in_header = hd.size >= 56 ? 4 : hd.size >= 52 ? 3 : 0;
    const std::size_t count = std::max(needed, in_header);
    const std::uint8_t* at = bytes_at(file, 14 + 40, 4 * count).data();
    for (std::size_t i = 0; i < count; ++i)
        m.masks[i] = get32(at + 4 * i);
    m.end = std::max(m.end, 14 + 40 + 4 * count);
    const std::uint32_t in_pixel = hd.bit_count == 32 ? 0xFFFFFFFFu : 0xFFFFu;
    for (std::size_t i = 0; i < 3; ++i)
        if ((m.masks[i] & in_pixel) == 0)
            invalid();
    m.given = true;
    return m;
}

// The colour table of an indexed bitmap, from the bytes between the masks and the pixels:
// as many entries as the header names (all the depth allows when it names none), but never
// reaching into the pixel data.
std::vector<std::uint32_t> read_palette(std::span<const std::uint8_t> table, const Header& hd) {
    const std::size_t most = std::size_t{1} << hd.bit_count;
    const std::size_t entry = hd.kind == BmpHeaderKind::Core ? 3 : 4;
    const std::size_t named = hd.colors_used != 0 && hd.colors_used < most ? hd.colors_used : most;
    const std::size_t count = std::min(named, table.size() / entry);
    if (count == 0)
        invalid();
    std::vector<std::uint32_t> palette(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = table.data() + i * entry;
        palette[i] = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
    }
    return palette;
}

// Checks every index of the uncompressed rows against the colour table.
void check_indices(const std::vector<std::uint8_t>& rows, std::int64_t stride, int width, int height,
                   int bit_count, std::size_t palette_size) {
    if (palette_size >= (std::size_t{1} << bit_count))
        return;
    const int per_byte = 8 / bit_count;
    const unsigned mask = (1u << bit_count) - 1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rows.data() + y * stride;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bit_count * (x % per_byte + 1);
            if (((row[x / per_byte] >> shift) & mask) >= palette_size)
                invalid();
        }
    }
}

// The uncompressed rows, each padded to 4 bytes. Every row must be there; only the padding
// of the last row may be cut off (it is kept as zeros).
std::vector<std::uint8_t> read_rows(std::span<const std::uint8_t> pixel_data, int width, int height,
                                    int bit_count, std::size_t palette_size) {
    const std::int64_t stride = stride_for(width, bit_count);
    const std::int64_t last_row = (std::int64_t{width} * bit_count + 7) / 8;
    if (std::int64_t(pixel_data.size()) < stride * (height - 1) + last_row)
        invalid();
    const std::size_t held =
        static_cast<std::size_t>(std::min<std::int64_t>(stride * height, pixel_data.size()));
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride * height), 0);
    std::memcpy(rows.data(), pixel_data.data(), held);
    if (bit_count <= 8)
        check_indices(rows, stride, width, height, bit_count, palette_size);
    return rows;
}

// Checks run-length encoded pixels all through, so that drawing them cannot fail.
void check_rle(std::span<const std::uint8_t> codes, std::size_t file_size, const Header& hd, int width,
               int height, std::size_t palette_size) {
    if (std::int64_t{width} * height >
        std::max(kAlwaysAllowedPixels, kMaxRlePixelsPerByte * std::int64_t(file_size)))
        invalid();
    walk_rle(codes, hd.compression == kBmpRle4, width, height, palette_size, [](int, int, unsigned) {});
}

// ---------------------------------------------------------------------------------------
// Drawing uncompressed rows.

class RowDecoder {
  public:
    RowDecoder(int bit_count, const std::vector<std::uint32_t>& palette,
               const std::array<std::uint32_t, 4>& masks)
        : bit_count_(bit_count), palette_(palette), red_(masks[0]), green_(masks[1]), blue_(masks[2]) {}

    // One row of `width` pixels from the file's bytes to BGRA.
    void operator()(const std::uint8_t* src, std::uint8_t* dst, int width) const {
        switch (bit_count_) {
        case 1:
        case 4:
        case 8:
            indexed(src, dst, width);
            break;
        case 16:
            for (int x = 0; x < width; ++x, dst += 4, src += 2)
                masked(dst, get16(src));
            break;
        case 24:
            for (int x = 0; x < width; ++x, dst += 4, src += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            }
            break;
        case 32:
            for (int x = 0; x < width; ++x, dst += 4, src += 4)
                masked(dst, get32(src));
            break;
        }
    }

  private:
    void indexed(const std::uint8_t* src, std::uint8_t* dst, int width) const {
        const int per_byte = 8 / bit_count_;
        const unsigned mask = (1u << bit_count_) - 1;
        for (int x = 0; x < width; ++x, dst += 4) {
            const int shift = 8 - bit_count_ * (x % per_byte + 1);
            put_bgra(dst, palette_[(src[x / per_byte] >> shift) & mask]);
        }
    }
    void masked(std::uint8_t* dst, std::uint32_t px) const {
        dst[0] = blue_(px);
        dst[1] = green_(px);
        dst[2] = red_(px);
        dst[3] = 255;
    }

    int bit_count_;
    const std::vector<std::uint32_t>& palette_;
    Channel red_, green_, blue_;
};

void put_file_header(std::vector<std::uint8_t>& out, std::size_t header_part, std::size_t image_size) {
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(14 + header_part + image_size));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(14 + header_part));
}

} // namespace

BmpImage BmpImage::parse(std::span<const std::uint8_t> file) {
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
        invalid();
    const std::uint32_t pixel_offset = get32(file.data() + 10);
    const Header hd = read_header(file);
    check_format(hd);

    BmpImage img;
    img.header_kind_ = hd.kind;
    img.width_ = static_cast<int>(hd.width);
    img.top_down_ = hd.height < 0;
    img.height_ = static_cast<int>(img.top_down_ ? -hd.height : hd.height);
    img.bit_count_ = static_cast<int>(hd.bit_count);
    img.compression_ = hd.compression;
    img.x_pels_per_meter_ = hd.x_ppm;
    img.y_pels_per_meter_ = hd.y_ppm;
    img.colors_important_ = hd.colors_important;

    const Masks masks = read_masks(file, hd);
    img.masks_ = masks.masks;
    img.has_masks_ = masks.given;
    if (pixel_offset < masks.end || pixel_offset >= file.size())
        invalid();
    if (hd.bit_count <= 8)
        img.palette_ = read_palette(file.subspan(masks.end, pixel_offset - masks.end), hd);

    const std::span<const std::uint8_t> pixel_data = file.subspan(pixel_offset);
    if (img.is_run_length_encoded()) {
        check_rle(pixel_data, file.size(), hd, img.width_, img.height_, img.palette_.size());
        img.data_.assign(file.begin(), file.end());
        img.rle_offset_ = pixel_offset;
    } else {
        img.data_ = read_rows(pixel_data, img.width_, img.height_, img.bit_count_, img.palette_.size());
    }
    return img;
}

Pixels BmpImage::to_pixels() const {
    Pixels out;
    out.width = width_;
    out.height = height_;
    out.bgra.assign(static_cast<std::size_t>(width_) * height_ * 4, 0);

    if (is_run_length_encoded()) {
        // Pixels the codes skip take the first colour of the table.
        for (std::size_t i = 0; i < out.bgra.size(); i += 4)
            put_bgra(out.bgra.data() + i, palette_[0]);
        walk_rle(std::span(data_).subspan(rle_offset_), compression_ == kBmpRle4, width_, height_,
                 palette_.size(), [&](int x, int y, unsigned index) {
                     put_bgra(out.row(height_ - 1 - y) + 4 * x, palette_[index]);
                 });
        return out;
    }

    const std::size_t stride = static_cast<std::size_t>(stride_for(width_, bit_count_));
    const RowDecoder decode(bit_count_, palette_, masks_);
    for (int y = 0; y < height_; ++y)
        decode(data_.data() + stride * y, out.row(top_down_ ? y : height_ - 1 - y), width_);
    return out;
}

std::vector<std::uint8_t> BmpImage::to_bmp_file() const {
    if (is_run_length_encoded())
        return data_;

    const bool core = header_kind_ == BmpHeaderKind::Core;
    const bool indexed = bit_count_ <= 8;
    const bool bit_fields = has_bit_fields(compression_);
    // A core header has no colour count, so its table always has every entry of the depth.
    const std::size_t entries = !indexed ? 0 : core ? std::size_t{1} << bit_count_ : palette_.size();
    const std::size_t header_part =
        core ? 12 + 3 * entries : 40 + 4 * entries + (!indexed && bit_fields ? 12 : 0);

    std::vector<std::uint8_t> out;
    out.reserve(14 + header_part + data_.size());
    put_file_header(out, header_part, data_.size());
    if (core)
        put_core_header(out, entries);
    else
        put_info_header(out, entries);
    out.insert(out.end(), data_.begin(), data_.end());
    return out;
}

void BmpImage::put_core_header(std::vector<std::uint8_t>& out, std::size_t entries) const {
    put32(out, 12);
    put16(out, static_cast<std::uint32_t>(width_));
    put16(out, static_cast<std::uint32_t>(height_));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bit_count_));
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t c = i < palette_.size() ? palette_[i] : 0;
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
    }
}

void BmpImage::put_info_header(std::vector<std::uint8_t>& out, std::size_t entries) const {
    const bool bit_fields = has_bit_fields(compression_);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width_));
    put32(out, static_cast<std::uint32_t>(top_down_ ? -height_ : height_));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bit_count_));
    // The alpha mask has no place after a 40-byte header: such a bitmap is written with
    // plain bit fields, which is how it was drawn anyway.
    put32(out, bit_fields ? kBmpBitFields : kBmpRgb);
    // The size always describes the rows written, whatever the source claimed.
    put32(out, static_cast<std::uint32_t>(data_.size()));
    put32(out, static_cast<std::uint32_t>(x_pels_per_meter_));
    put32(out, static_cast<std::uint32_t>(y_pels_per_meter_));
    // Without a table written, a non-zero count would announce one that is not there.
    put32(out, static_cast<std::uint32_t>(entries));
    put32(out, colors_important_ <= entries ? colors_important_ : 0);
    if (bit_count_ > 8 && bit_fields) {
        const std::array<std::uint32_t, 4> defaults =
            bit_count_ == 16 ? std::array<std::uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0}
                             : std::array<std::uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0};
        const auto& m = has_masks_ ? masks_ : defaults;
        put32(out, m[0]);
        put32(out, m[1]);
        put32(out, m[2]);
    }
    for (std::size_t i = 0; i < entries; ++i)
        put32(out, palette_[i]);
}

} // namespace velmaro::imaging
