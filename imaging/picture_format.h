// The picture formats, one row each in one table: the file extension, how the program
// decodes such a file, and whether the file list always offers it or only with the
// "MoreTypes" option. The file list's masks (and through them the rotation's choice and
// the "Select folder" question), the preview's kind of a file and the wallpaper's all
// derive from it. A new format is a row here (and, for a decoder of its own, a kind).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmaro::imaging {

enum class PictureKind { None, Bitmap, Jpeg, Codec };

struct PictureFormat {
    const char* extension; // without the dot, in lower case
    PictureKind kind;      // Codec: read by the system's codecs (see system_codec.h)
    bool designed;         // always listed; else only with "MoreTypes"
};

// Every format, in the order the file list's masks name them.
std::span<const PictureFormat> picture_formats();

// The file list's mask: the designed formats, or every format with "MoreTypes"
// ("*.jpg;*.jpeg;*.bmp;" and so on, each pattern ended by ";").
std::string file_list_mask(bool more_types);

// The kind a file name asks for by its extension, in any letter case: how the preview
// reads a file. Any other extension (none included) raises velmaro::InvalidGraphic.
PictureKind picture_kind_for(std::string_view file_name);

// The kind the wallpaper reads a file as: a bitmap or a JPEG stream by the first bytes of
// its contents, whatever its name, since either is often found under the other's; the
// system's codecs for a file whose name asks for them; else None.
PictureKind staged_kind(std::string_view file_name, std::span<const std::uint8_t> first_bytes);

} // namespace velmaro::imaging
