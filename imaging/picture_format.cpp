#include "imaging/picture_format.h"

#include "base/error.h"

#include <array>

namespace velmaro::imaging {

namespace {

constexpr std::array<PictureFormat, 14> kFormats{{
    {"jpg", PictureKind::Jpeg, true},
    {"jpeg", PictureKind::Jpeg, true},
    {"bmp", PictureKind::Bitmap, true},
    {"png", PictureKind::Codec, false},
    {"gif", PictureKind::Codec, false},
    {"tif", PictureKind::Codec, false},
    {"tiff", PictureKind::Codec, false},
    {"jxr", PictureKind::Codec, false},
    {"wdp", PictureKind::Codec, false},
    {"webp", PictureKind::Codec, false},
    {"heic", PictureKind::Codec, false},
    {"heif", PictureKind::Codec, false},
    {"avif", PictureKind::Codec, false},
    {"jxl", PictureKind::Codec, false},
}};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The extension after the last dot of the last path component, without the dot.
std::string_view extension_of(std::string_view name) {
    const auto slash = name.find_last_of("\\/:");
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return name.substr(dot + 1);
}

const PictureFormat* format_of(std::string_view file_name) {
    const std::string_view ext = extension_of(file_name);
    for (const PictureFormat& f : kFormats)
        if (equals_nocase(ext, f.extension))
            return &f;
    return nullptr;
}

} // namespace

std::span<const PictureFormat> picture_formats() {
    return kFormats;
}

std::string file_list_mask(bool more_types) {
    std::string mask;
    for (const PictureFormat& f : kFormats)
        if (f.designed || more_types)
            mask.append("*.").append(f.extension).append(";");
    return mask;
}

PictureKind picture_kind_for(std::string_view file_name) {
    if (const PictureFormat* f = format_of(file_name))
        return f->kind;
    throw InvalidGraphic(format_message("Unsupported picture file type \"%s\"", extension_of(file_name)));
}

PictureKind staged_kind(std::string_view file_name, std::span<const std::uint8_t> first_bytes) {
    if (first_bytes.size() >= 2 && first_bytes[0] == 'B' && first_bytes[1] == 'M')
        return PictureKind::Bitmap;
    if (first_bytes.size() >= 2 && first_bytes[0] == 0xFF && first_bytes[1] == 0xD8)
        return PictureKind::Jpeg;
    const PictureFormat* f = format_of(file_name);
    return f && f->kind == PictureKind::Codec ? PictureKind::Codec : PictureKind::None;
}

} // namespace velmaro::imaging
