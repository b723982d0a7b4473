// Pictures that the operating system's own codecs read: on Windows the Imaging Component,
// which knows PNG, GIF, TIFF, ICO and JPEG XR everywhere, and WebP, HEIF, AVIF or JPEG XL
// where their codec packs are installed. The platform installs its codec at start (see
// wic_win.h); what is done with the codec's output - the pixel ceiling, the orientation,
// transparency over a background colour - is decided here, the same on every platform.
//
// Without an installed codec (the native build) every such file is an invalid picture.
#pragma once

#include "imaging/pixels.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace velmaro::imaging {

// The first frame of a file (a GIF's first frame, a TIFF's first page), as stored.
struct CodecHeader {
    int width = 0, height = 0;
    int orientation = 1; // Exif orientation 1 to 8 from the file's metadata (see exif.h)
};

// Called with the header before any pixels are asked for; it throws to refuse them.
using HeaderCheck = std::function<void(const CodecHeader&)>;

class SystemCodec {
  public:
    virtual ~SystemCodec() = default;
    // The first frame's header. Throws velmaro::InvalidGraphic when no codec reads the file.
    virtual CodecHeader read_header(std::span<const std::uint8_t> file) const = 0;
    // The first frame's pixels as stored: straight (not premultiplied) B, G, R, A, top-down.
    // `check` sees the header first. Throws velmaro::InvalidGraphic for data the codec
    // rejects, and whatever `check` throws.
    virtual Pixels decode(std::span<const std::uint8_t> file, const HeaderCheck& check) const = 0;
};

// The codec that the functions below use, for the rest of the run (null: none).
void install_system_codec(std::unique_ptr<SystemCodec> codec);

// The header of the first frame, refused (velmaro::InvalidGraphic) when it is empty or
// beyond the pixel ceiling of limits.h.
CodecHeader read_codec_header(std::span<const std::uint8_t> file);

// The first frame upright by its orientation, transparent parts laid over `background`
// (0x00RRGGBB): opaque BGRA pixels as every drawing path wants them. A picture beyond the
// ceiling is refused before the codec is asked for its pixels. Throws
// velmaro::InvalidGraphic.
Pixels decode_codec_picture(std::span<const std::uint8_t> file, std::uint32_t background);

// Straight-alpha BGRA laid over an opaque background colour (0x00RRGGBB): each channel
// (value x alpha + background x (255 - alpha)) / 255, truncated, which is what
// ImageMagick's own flattening gives; alpha becomes 255.
void composite_over(Pixels& pixels, std::uint32_t background);

} // namespace velmaro::imaging
