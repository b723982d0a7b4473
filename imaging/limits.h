// Limits that keep hostile files from driving the decoders into huge allocations.
//
// Every picture is refused when its pixel count exceeds kMaxPixels (2^28, about 268
// megapixels: far beyond any camera photo, and 1 GiB once expanded to 4 bytes a pixel).
// Below that ceiling a picture must also be justified by the bytes that encode it:
//  - an uncompressed bitmap must hold all its rows in the file (only the padding of the
//    last row may be missing);
//  - a run-length encoded bitmap may describe at most kMaxRlePixelsPerByte pixels per
//    byte of the file (a run covers at most 255 pixels in 2 bytes; the factor leaves room
//    for the skip codes that some writers use for empty areas);
//  - a Huffman-coded JPEG may describe at most kMaxJpegPixelsPerByte pixels per byte of
//    the file (every 8 x 8 block of a full-size component costs at least one bit, i.e.
//    512 pixels a byte at best; the factor 2 above that lets a cut-off file still show
//    its first part). Arithmetic coding has no such floor (a flat 12-megapixel picture
//    takes about 200 bytes), so there only the ceiling applies. For every JPEG, libjpeg's
//    own working memory (the whole-picture buffers of progressive files) is capped at
//    kMaxJpegWorkingMemory.
// A small picture (at most kAlwaysAllowedPixels) is never refused for being short: its
// buffer is harmless whatever the file holds.
//
// A picture of the system's codecs is decoded whole, 4 bytes a pixel, and turned upright
// into a second copy when its orientation asks for it. Both copies together may take at
// most kMaxCodecBytes (what the pixel ceiling gives one copy), and above
// kCodecAlwaysAllowedBytes at most kMaxCodecBytesPerFileByte for every byte of the file
// (a deflate stream, as in PNG, grows at most about 1032 times; a flat picture of any
// screen's size stays below the free allowance, so plain-colour wallpapers pass).
#pragma once

#include <cstdint>

namespace velmaro::imaging {

inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
inline constexpr std::int64_t kAlwaysAllowedPixels = std::int64_t{1} << 20;
inline constexpr std::int64_t kMaxRlePixelsPerByte = 1024;
inline constexpr std::int64_t kMaxJpegPixelsPerByte = 1024;
inline constexpr long kMaxJpegWorkingMemory = 1024L * 1024 * 1024;
inline constexpr std::int64_t kMaxCodecBytes = 4 * kMaxPixels;
inline constexpr std::int64_t kCodecAlwaysAllowedBytes = std::int64_t{256} << 20;
inline constexpr std::int64_t kMaxCodecBytesPerFileByte = 1024;

} // namespace velmaro::imaging
