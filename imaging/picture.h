// The preview's picture: nothing, a bitmap, a JPEG picture, or a picture that the
// system's codecs read (see system_codec.h), picked by the file's extension (see
// picture_format.h). A JPEG
// picture reads only its header at load; its pixels are decoded when first asked for, at
// the smallest decoder scale that still covers the frame, and kept. A picture of the
// system's codecs is decoded whole at load, so a file they reject is no picture at all.
#pragma once

#include "imaging/bmp.h"
#include "imaging/jpeg.h"
#include "imaging/picture_format.h"
#include "imaging/pixels.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::imaging {

class Picture {
  public:
    Picture();
    ~Picture();
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    // Loads a picture file. The extension is checked first (InvalidGraphic); a file that
    // cannot be opened or read raises velmaro::FileError "Cannot open file %s"; a
    // malformed bitmap, a JPEG header the decoder rejects or a file the system's codecs
    // cannot decode raises InvalidGraphic. Transparent parts of a picture of the system's
    // codecs are laid over `background` (0x00RRGGBB).
    static Picture load_file(const std::string& path, std::uint32_t background = 0);
    // The same from bytes already read; `file_name` only supplies the extension.
    static Picture load_bytes(std::string_view file_name, std::vector<std::uint8_t> bytes,
                              std::uint32_t background = 0);

    PictureKind kind() const;
    bool empty() const { return kind() == PictureKind::None; }
    // The upright size (a JPEG turned by its Exif orientation); 0 when empty.
    int width() const;
    int height() const;
    const BmpImage* bitmap() const; // null unless a bitmap

    // Pixels to draw in a frame of min_width x min_height: a bitmap's own pixels; those
    // of a picture of the system's codecs, decoded at load (upright, opaque); a JPEG
    // picture decoded at the smallest scale still at least that large (0, 0 = full size)
    // and turned upright.
    // The result is kept and reused while it is large enough; the reference stays valid
    // until the next call or until the picture is changed. `progress` is called while a
    // JPEG decodes. A JPEG whose data the decoder rejects raises InvalidGraphic. An empty
    // picture gives empty pixels.
    const Pixels& pixels_for(int min_width = 0, int min_height = 0,
                             const DecodeProgress& progress = {}) const;

    void clear();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace velmaro::imaging
