#include "imaging/bmp.h"

#include "base/error.h"
#include "imaging/limits.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

// Walks run-length encoded data (RLE8 or RLE4), calling `put(x, y, index)` for every
// pixel it sets inside the picture, with y counted from the bottom row. Encoders may code
// a row's padding too (ImageMagick does), so runs may reach the row's padded width; those
// pixels are dropped. Throws InvalidGraphic when a code would set a pixel beyond that,
// names an index outside the colour table, or the data end in the middle of a code or
// before the picture is complete.
template <class Put>
void walk_rle(std::span<const std::uint8_t> codes, bool four_bit, int width, int height,
              std::size_t palette_size, Put&& put) {
    std::size_t at = 0;
    std::int64_t x = 0, y = 0;
    const std::int64_t padded =
        four_bit ? (std::int64_t{width} + 7) / 8 * 8 : (std::int64_t{width} + 3) / 4 * 4;
    auto need = [&](std::size_t n) {
        if (codes.size() - at < n)
            invalid();
    };
    auto check_run = [&](std::int64_t count) {
        if (y >= height || x + count > padded)
            invalid();
    };
    auto check_index = [&](unsigned index) {
        if (index >= palette_size)
            invalid();
    };
    for (;;) {
        if (at == codes.size()) {
            // Some writers leave out the end-of-bitmap code; accept that only when every
            // row has been reached, so a cut-off file is still refused.
            if (y >= height || (y == height - 1 && x >= width))
                return;
            invalid();
        }
        need(2);
        const unsigned count = codes[at], value = codes[at + 1];
        at += 2;
        if (count > 0) { // a run of one index (RLE8) or two alternating indices (RLE4)
            check_run(count);
            const unsigned first = four_bit ? value >> 4 : value, second = four_bit ? value & 15 : value;
            check_index(first);
            if (count > 1)
                check_index(second);
            for (unsigned i = 0; i < count && x + i < width; ++i)
                put(static_cast<int>(x + i), static_cast<int>(y), (i & 1) ? second : first);
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return;
        case 2: { // move right and up
            need(2);
            x += codes[at];
            y += codes[at + 1];
            at += 2;
            if (x > padded || y >= height)
                invalid();
            break;
        }
        default: { // `value` indices stored as they are, padded to a 16-bit boundary
            check_run(value);
            const std::size_t bytes = four_bit ? (value + 1) / 2 : value;
            need(bytes);
            for (unsigned i = 0; i < value; ++i) {
                const unsigned index =
                    four_bit ? ((i & 1) ? codes[at + i / 2] & 15 : codes[at + i / 2] >> 4) : codes[at + i];
                check_index(index);
                if (x + i < width)
                    put(static_cast<int>(x + i), static_cast<int>(y), index);
            }
            x += value;
            at += bytes;
            if (bytes & 1) {
                need(1);
                ++at;
            }
            break;
        }
        }
    }
}

struct Header {
    BmpHeaderKind kind;
    std::uint32_t size;
    std::int64_t width, height;
    unsigned planes, bit_count;
    std::uint32_t compression = kBmpRgb;
    std::int32_t x_ppm = 0, y_ppm = 0;
    std::uint32_t colors_used = 0, colors_important = 0;
};

Header read_header(std::span<const std::uint8_t> file) {
    const std::uint8_t* h = file.data() + 14;
    Header hd{};
    hd.size = get32(h);
    if (file.size() - 14 < hd.size)
        invalid();
    if (hd.size == 12) {
        hd.kind = BmpHeaderKind::Core;
        hd.width = get16(h + 4);
        hd.height = get16(h + 6);
        hd.planes = get16(h + 8);
        hd.bit_count = get16(h + 10);
        return hd;
    }
    switch (hd.size) {
    case 40:
        hd.kind = BmpHeaderKind::Info;
        break;
    case 52:
        hd.kind = BmpHeaderKind::InfoV2;
        break;
    case 56:
        hd.kind = BmpHeaderKind::InfoV3;
        break;
    case 108:
        hd.kind = BmpHeaderKind::InfoV4;
        break;
    case 124:
        hd.kind = BmpHeaderKind::InfoV5;
        break;
    default:
        // OS/2 2.x headers may stop after any of their 32-bit fields, from 16 bytes on.
        if (hd.size < 16 || hd.size > 64 || hd.size % 4 != 0)
            invalid();
        hd.kind = BmpHeaderKind::Os2V2;
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

} // namespace

BmpImage BmpImage::parse(std::span<const std::uint8_t> file) {
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
        invalid();
    const std::uint32_t pixel_offset = get32(file.data() + 10);
    const Header hd = read_header(file);
    const bool core = hd.kind == BmpHeaderKind::Core;

    if (hd.planes != 1)
        invalid();
    switch (hd.bit_count) {
    case 1:
    case 4:
    case 8:
    case 24:
        break;
    case 16:
    case 32:
        if (!core)
            break;
        [[fallthrough]];
    default:
        invalid();
    }
    if (!valid_compression(hd))
        invalid();
    // A negative height marks top-down rows; run-length encoded rows are always bottom-up.
    const bool top_down = hd.height < 0;
    const std::int64_t width = hd.width, height = top_down ? -hd.height : hd.height;
    if (width <= 0 || height <= 0 ||
        (top_down && hd.compression != kBmpRgb && hd.compression != kBmpBitFields &&
         hd.compression != kBmpAlphaBitFields))
        invalid();
    if (width * height > kMaxPixels)
        invalid();

    BmpImage img;
    img.header_kind_ = hd.kind;
    img.width_ = static_cast<int>(width);
    img.height_ = static_cast<int>(height);
    img.top_down_ = top_down;
    img.bit_count_ = static_cast<int>(hd.bit_count);
    img.compression_ = hd.compression;
    img.x_pels_per_meter_ = hd.x_ppm;
    img.y_pels_per_meter_ = hd.y_ppm;
    img.colors_important_ = hd.colors_important;

    // Masks: inside the longer info headers, or right after a 40-byte one.
    std::size_t after_header = 14 + std::size_t{hd.size};
    const bool bit_fields = hd.compression == kBmpBitFields || hd.compression == kBmpAlphaBitFields;
    if (bit_fields) {
        const std::size_t count = hd.compression == kBmpAlphaBitFields ? 4 : 3;
        const std::uint8_t* at;
        if (hd.size >= 52) {
            at = file.data() + 14 + 40;
        } else {
            if (file.size() - after_header < 4 * count)
                invalid();
            at = file.data() + after_header;
            after_header += 4 * count;
        }
        for (std::size_t i = 0; i < 3; ++i)
            img.masks_[i] = get32(at + 4 * i);
        img.masks_[3] = (count == 4 || hd.size >= 56) ? get32(at + 12) : 0;
        const std::uint32_t in_pixel = hd.bit_count == 32 ? 0xFFFFFFFFu : 0xFFFFu;
        for (std::size_t i = 0; i < 3; ++i)
            if ((img.masks_[i] & in_pixel) == 0)
                invalid();
        img.has_masks_ = true;
    } else if (hd.bit_count == 16) {
        img.masks_ = {0x7C00, 0x03E0, 0x001F, 0};
    } else if (hd.bit_count == 32) {
        img.masks_ = {0xFF0000, 0x00FF00, 0x0000FF, 0};
    }

    if (pixel_offset < after_header || pixel_offset >= file.size())
        invalid();

    // Colour table: as many entries as the header names (all the depth allows when it
    // names none), but never reaching into the pixel data.
    if (hd.bit_count <= 8) {
        const std::size_t most = std::size_t{1} << hd.bit_count;
        std::size_t count = hd.colors_used != 0 && hd.colors_used < most ? hd.colors_used : most;
        const std::size_t entry = core ? 3 : 4;
        count = std::min(count, (pixel_offset - after_header) / entry);
        if (count == 0)
            invalid();
        img.palette_.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = file.data() + after_header + i * entry;
            img.palette_[i] = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        }
    }

    const std::span<const std::uint8_t> pixel_data = file.subspan(pixel_offset);
    if (img.is_run_length_encoded()) {
        if (width * height > std::max(kAlwaysAllowedPixels, kMaxRlePixelsPerByte * std::int64_t(file.size())))
            invalid();
        walk_rle(pixel_data, hd.compression == kBmpRle4, img.width_, img.height_, img.palette_.size(),
                 [](int, int, unsigned) {});
        img.data_.assign(file.begin(), file.end());
        img.rle_offset_ = pixel_offset;
        return img;
    }

    // Every row must be there; only the padding of the last row may be cut off.
    const std::int64_t stride = stride_for(width, img.bit_count_);
    const std::int64_t last_row = (width * img.bit_count_ + 7) / 8;
    if (std::int64_t(pixel_data.size()) < stride * (height - 1) + last_row)
        invalid();
    const std::size_t held =
        static_cast<std::size_t>(std::min<std::int64_t>(stride * height, pixel_data.size()));
    img.data_.assign(static_cast<std::size_t>(stride * height), 0);
    std::memcpy(img.data_.data(), pixel_data.data(), held);
    if (img.bit_count_ <= 8)
        check_indices(img.data_, stride, img.width_, img.height_, img.bit_count_, img.palette_.size());
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
    const Channel red(masks_[0]), green(masks_[1]), blue(masks_[2]);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* src = data_.data() + stride * y;
        std::uint8_t* dst = out.row(top_down_ ? y : height_ - 1 - y);
        switch (bit_count_) {
        case 1:
        case 4:
        case 8: {
            const int per_byte = 8 / bit_count_;
            const unsigned mask = (1u << bit_count_) - 1;
            for (int x = 0; x < width_; ++x, dst += 4) {
                const int shift = 8 - bit_count_ * (x % per_byte + 1);
                put_bgra(dst, palette_[(src[x / per_byte] >> shift) & mask]);
            }
            break;
        }
        case 16:
            for (int x = 0; x < width_; ++x, dst += 4, src += 2) {
                const std::uint32_t px = get16(src);
                dst[0] = blue(px);
                dst[1] = green(px);
                dst[2] = red(px);
                dst[3] = 255;
            }
            break;
        case 24:
            for (int x = 0; x < width_; ++x, dst += 4, src += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            }
            break;
        case 32:
            for (int x = 0; x < width_; ++x, dst += 4, src += 4) {
                const std::uint32_t px = get32(src);
                dst[0] = blue(px);
                dst[1] = green(px);
                dst[2] = red(px);
                dst[3] = 255;
            }
            break;
        }
    }
    return out;
}

std::vector<std::uint8_t> BmpImage::to_bmp_file() const {
    if (is_run_length_encoded())
        return data_;

    const bool core = header_kind_ == BmpHeaderKind::Core;
    const bool indexed = bit_count_ <= 8;
    const bool bit_fields = compression_ == kBmpBitFields || compression_ == kBmpAlphaBitFields;
    // A core header has no colour count, so its table always has every entry of the depth.
    const std::size_t entries = !indexed ? 0 : core ? std::size_t{1} << bit_count_ : palette_.size();
    const std::size_t header_part =
        core ? 12 + 3 * entries : 40 + 4 * entries + (!indexed && bit_fields ? 12 : 0);
    const std::size_t image_size = data_.size();

    std::vector<std::uint8_t> out;
    out.reserve(14 + header_part + image_size);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(14 + header_part + image_size));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(14 + header_part));
    if (core) {
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
    } else {
        put32(out, 40);
        put32(out, static_cast<std::uint32_t>(width_));
        put32(out, static_cast<std::uint32_t>(top_down_ ? -height_ : height_));
        put16(out, 1);
        put16(out, static_cast<std::uint32_t>(bit_count_));
        // The alpha mask has no place after a 40-byte header: such a bitmap is written with
        // plain bit fields, which is how it was drawn anyway.
        put32(out, bit_fields ? kBmpBitFields : kBmpRgb);
        // The size always describes the rows written, whatever the source claimed.
        put32(out, static_cast<std::uint32_t>(image_size));
        put32(out, static_cast<std::uint32_t>(x_pels_per_meter_));
        put32(out, static_cast<std::uint32_t>(y_pels_per_meter_));
        // Without a table written, a non-zero count would announce one that is not there.
        put32(out, static_cast<std::uint32_t>(entries));
        put32(out, colors_important_ <= entries ? colors_important_ : 0);
        if (!indexed && bit_fields) {
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
    out.insert(out.end(), data_.begin(), data_.end());
    return out;
}

} // namespace velmaro::imaging
