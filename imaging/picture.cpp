#include "imaging/picture.h"

#include "base/file_read.h"
#include "imaging/exif.h"
#include "imaging/orientation.h"
#include "imaging/system_codec.h"

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

} // namespace velmaro::imaging
