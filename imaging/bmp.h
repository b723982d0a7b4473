// Windows and OS/2 bitmap files: reading every variant a Windows user meets, writing the
// staged wallpaper file back in the bitmap's own depth.
//
// Read: the 12-byte core header (OS/2 1.x), the OS/2 2.x header (16 to 64 bytes), the
// 40-byte info header and its longer V2/V3/V4/V5 forms; 1, 4, 8, 16, 24 and 32 bits a
// pixel; uncompressed, RLE8, RLE4, bit fields and alpha bit fields; bottom-up and
// top-down rows; colour tables shorter than the depth allows. Anything malformed or
// unsupported raises velmaro::InvalidGraphic. Every pixel index and every RLE code is
// checked when the file is parsed, so drawing a parsed bitmap cannot fail.
#pragma once

#include "imaging/pixels.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace velmaro::imaging {

enum class BmpHeaderKind {
    Core,   // 12 bytes, OS/2 1.x: 16-bit sizes, 3-byte colour-table entries
    Os2V2,  // 16 to 64 bytes, OS/2 2.x
    Info,   // 40 bytes
    InfoV2, // 52 bytes (masks in the header)
    InfoV3, // 56 bytes (with an alpha mask)
    InfoV4, // 108 bytes
    InfoV5, // 124 bytes
};

// Compression codes of the info header.
enum BmpCompression : std::uint32_t {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitFields = 3,
    kBmpAlphaBitFields = 6,
};

class BmpImage {
  public:
    // Parses a whole .bmp file. Throws velmaro::InvalidGraphic on any malformed input.
    static BmpImage parse(std::span<const std::uint8_t> file);

    int width() const { return width_; }
    int height() const { return height_; } // always positive; see top_down()
    bool top_down() const { return top_down_; }
    int bit_count() const { return bit_count_; }
    std::uint32_t compression() const { return compression_; }
    BmpHeaderKind header_kind() const { return header_kind_; }
    bool is_run_length_encoded() const { return compression_ == kBmpRle8 || compression_ == kBmpRle4; }
    // Colour table as read, entries 0x00RRGGBB; empty for direct-colour bitmaps.
    const std::vector<std::uint32_t>& palette() const { return palette_; }
    // Red, green, blue (and alpha) masks in use for 16 and 32 bits a pixel.
    const std::array<std::uint32_t, 4>& masks() const { return masks_; }
    bool has_masks() const { return has_masks_; }

    // The picture for drawing, top-down BGRA.
    Pixels to_pixels() const;

    // The bitmap as a file again: run-length encoded sources byte for byte as read; any
    // other bitmap written anew in its own depth, with its own colour table and rows
    // (14-byte file header; the 40-byte info header, or the 12-byte core header for core
    // sources; masks after the header for bit fields).
    std::vector<std::uint8_t> to_bmp_file() const;

  private:
    BmpImage() = default;

    // The parts of to_bmp_file() after the 14-byte file header: the header with the
    // colour table (and the masks after an info header).
    void put_core_header(std::vector<std::uint8_t>& out, std::size_t entries) const;
    void put_info_header(std::vector<std::uint8_t>& out, std::size_t entries) const;

    BmpHeaderKind header_kind_ = BmpHeaderKind::Info;
    int width_ = 0, height_ = 0;
    bool top_down_ = false;
    int bit_count_ = 0;
    std::uint32_t compression_ = kBmpRgb;
    std::int32_t x_pels_per_meter_ = 0, y_pels_per_meter_ = 0;
    std::uint32_t colors_important_ = 0;
    std::vector<std::uint32_t> palette_;
    std::array<std::uint32_t, 4> masks_{};
    bool has_masks_ = false;
    // Uncompressed sources: the pixel rows in file order, each padded to 4 bytes.
    // RLE sources: the whole file as read.
    std::vector<std::uint8_t> data_;
    std::size_t rle_offset_ = 0; // RLE sources: where the codes start in data_
};

} // namespace velmaro::imaging
