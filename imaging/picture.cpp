#include "imaging/picture.h"

#include "base/error.h"
#include "imaging/bmp_write.h"
#include "imaging/exif.h"
#include "imaging/orientation.h"
#include "imaging/system_codec.h"

#include <fstream>
#include <optional>
#include <utility>

namespace velmaro::imaging {

struct Picture::State {
    PictureKind kind = PictureKind::None;
    std::optional<BmpImage> bitmap;
    JpegHeader jpeg;
    std::vector<std::uint8_t> jpeg_bytes;
    // Pixels decoded for drawing, and the scale (in eighths) they were decoded at.
    Pixels pixels;
    int pixels_scale = 0; // 0: nothing decoded yet
};

namespace {

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

std::vector<std::uint8_t> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError(format_message("Cannot open file %s", path));
    // Read in pieces rather than trusting the size the stream reports: for some things
    // that open like files (a folder on Linux) that size is meaningless, while reading
    // them fails cleanly.
    std::vector<std::uint8_t> bytes;
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (;;) {
        const std::size_t have = bytes.size();
        bytes.resize(have + kPiece);
        in.read(reinterpret_cast<char*>(bytes.data() + have), static_cast<std::streamsize>(kPiece));
        bytes.resize(have + static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            throw FileError(format_message("Cannot open file %s", path));
        if (in.eof())
            return bytes;
        if (!in)
            throw FileError(format_message("Cannot open file %s", path));
    }
}

} // namespace

PictureKind picture_kind_for(std::string_view file_name) {
    const std::string_view ext = extension_of(file_name);
    if (equals_nocase(ext, "bmp"))
        return PictureKind::Bitmap;
    if (equals_nocase(ext, "jpg") || equals_nocase(ext, "jpeg"))
        return PictureKind::Jpeg;
    for (const char* codec_ext :
         {"png", "gif", "tif", "tiff", "jxr", "wdp", "webp", "heic", "heif", "avif", "jxl"})
        if (equals_nocase(ext, codec_ext))
            return PictureKind::Codec;
    throw InvalidGraphic(format_message("Unsupported picture file type \"%s\"", ext));
}

Picture::Picture() : state_(std::make_unique<State>()) {}
Picture::~Picture() = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

Picture Picture::load_file(const std::string& path, std::uint32_t background) {
    picture_kind_for(path); // an unsupported name fails before the file is touched
    return load_bytes(path, read_whole_file(path), background);
}

Picture Picture::load_bytes(std::string_view file_name, std::vector<std::uint8_t> bytes,
                            std::uint32_t background) {
    Picture picture;
    State& s = *picture.state_;
    const PictureKind kind = picture_kind_for(file_name);
    if (kind == PictureKind::Bitmap) {
        s.bitmap = BmpImage::parse(bytes);
    } else if (kind == PictureKind::Codec) {
        s.pixels = decode_codec_picture(bytes, background);
        s.pixels_scale = 8;
    } else {
        s.jpeg = read_jpeg_header(bytes);
        s.jpeg_bytes = std::move(bytes);
    }
    s.kind = kind;
    return picture;
}

PictureKind Picture::kind() const {
    return state_ ? state_->kind : PictureKind::None;
}

int Picture::width() const {
    switch (kind()) {
    case PictureKind::Bitmap:
        return state_->bitmap->width();
    case PictureKind::Jpeg:
        return upright_size(state_->jpeg.width, state_->jpeg.height, state_->jpeg.orientation).width;
    case PictureKind::Codec:
        return state_->pixels.width;
    default:
        return 0;
    }
}

int Picture::height() const {
    switch (kind()) {
    case PictureKind::Bitmap:
        return state_->bitmap->height();
    case PictureKind::Jpeg:
        return upright_size(state_->jpeg.width, state_->jpeg.height, state_->jpeg.orientation).height;
    case PictureKind::Codec:
        return state_->pixels.height;
    default:
        return 0;
    }
}

const BmpImage* Picture::bitmap() const {
    return kind() == PictureKind::Bitmap ? &*state_->bitmap : nullptr;
}

const JpegHeader* Picture::jpeg_header() const {
    return kind() == PictureKind::Jpeg ? &state_->jpeg : nullptr;
}

std::span<const std::uint8_t> Picture::jpeg_bytes() const {
    if (kind() != PictureKind::Jpeg)
        return {};
    return state_->jpeg_bytes;
}

const Pixels& Picture::pixels_for(int min_width, int min_height, const DecodeProgress& progress) const {
    static const Pixels none;
    State* s = state_.get();
    switch (kind()) {
    case PictureKind::Bitmap:
        if (s->pixels_scale == 0) {
            s->pixels = s->bitmap->to_pixels();
            s->pixels_scale = 8;
        }
        return s->pixels;
    case PictureKind::Codec:
        return s->pixels;
    case PictureKind::Jpeg: {
        // The frame is asked for upright; the decoder scales the picture as stored.
        const int orientation = s->jpeg.orientation;
        if (orientation_swaps_axes(orientation))
            std::swap(min_width, min_height);
        const int scale = jpeg_scale_eighths(s->jpeg, min_width, min_height);
        if (s->pixels_scale < scale) {
            // Forget the old pixels first: a failed decode must not leave a stale picture
            // that claims a scale it does not have.
            s->pixels = Pixels{};
            s->pixels_scale = 0;
            // Partial rows of a picture still to be turned would show it sideways.
            const bool upright = orientation == kOrientationAsStored || orientation < 1 || orientation > 8;
            s->pixels = orient(
                decode_jpeg(s->jpeg_bytes, min_width, min_height, upright ? progress : DecodeProgress{}),
                orientation);
            s->pixels_scale = scale;
        }
        return s->pixels;
    }
    default:
        return none;
    }
}

void Picture::clear() {
    state_ = std::make_unique<State>();
}

std::vector<std::uint8_t> convert_to_bmp24(std::string_view file_name, std::span<const std::uint8_t> bytes) {
    switch (picture_kind_for(file_name)) {
    case PictureKind::Bitmap:
        return write_bmp24(BmpImage::parse(bytes).to_pixels());
    case PictureKind::Codec:
        return write_bmp24(decode_codec_picture(bytes, 0));
    default:
        return jpeg_to_bmp24(bytes);
    }
}

std::vector<std::uint8_t> convert_file_to_bmp24(const std::string& path) {
    switch (picture_kind_for(path)) {
    case PictureKind::Bitmap:
        return write_bmp24(BmpImage::parse(read_whole_file(path)).to_pixels());
    case PictureKind::Codec:
        return write_bmp24(decode_codec_picture(read_whole_file(path), 0));
    default:
        return jpeg_file_to_bmp24(path);
    }
}

} // namespace velmaro::imaging
