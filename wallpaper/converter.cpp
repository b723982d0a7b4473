#include "wallpaper/converter.h"

#include <array>
#include <cstdio>

#include "base/error.h"
#include "base/file_read.h"
#include "imaging/bmp.h"
#include "imaging/bmp_write.h"
#include "imaging/jpeg.h"
#include "imaging/picture_format.h"
#include "imaging/system_codec.h"

namespace velmaro::wallpaper {

namespace {

// The first bytes of a file, which tell a bitmap from a JPEG stream.
std::array<std::uint8_t, 2> signature(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw FileError(format_message("Cannot open file %s", path));
    std::array<std::uint8_t, 2> sig{};
    if (std::fread(sig.data(), 1, sig.size(), f) != sig.size())
        sig = {};
    std::fclose(f);
    return sig;
}

} // namespace

int ImageConverter::load(const std::string& path) {
    std::vector<std::uint8_t> bmp, jpeg, coded;
    try {
        switch (imaging::staged_kind(path, signature(path))) {
        case imaging::PictureKind::Jpeg:
            jpeg = read_whole_file(path);
            imaging::read_jpeg_header(jpeg);
            break;
        case imaging::PictureKind::Codec:
            coded = read_whole_file(path);
            imaging::read_codec_header(coded);
            break;
        case imaging::PictureKind::Bitmap:
            bmp = imaging::write_bmp24(imaging::BmpImage::parse(read_whole_file(path)).to_pixels());
            break;
        default:
            read_whole_file(path); // a file that cannot be read says so first
            throw InvalidGraphic("Unknown picture format");
        }
    } catch (const InvalidGraphic&) {
        throw InvalidGraphic(format_message("Cannot read picture %s", path));
    }
    bmp_ = std::move(bmp);
    jpeg_ = std::move(jpeg);
    coded_ = std::move(coded);
    bmp_.shrink_to_fit();
    jpeg_.shrink_to_fit();
    coded_.shrink_to_fit();
    path_ = path;
    return ++id_;
}

void ImageConverter::check_id(int id) const {
    if (id != id_ || id_ == 0)
        throw Error(format_message("No picture in buffer %d", id));
}

std::vector<std::uint8_t> ImageConverter::bmp_bytes(int id, std::uint32_t background) const {
    check_id(id);
    if (jpeg_.empty() && coded_.empty())
        return bmp_;
    try {
        if (!coded_.empty())
            return imaging::write_bmp24(imaging::decode_codec_picture(coded_, background));
        return imaging::jpeg_to_bmp24(jpeg_);
    } catch (const InvalidGraphic&) {
        throw InvalidGraphic(format_message("Cannot read picture %s", path_));
    }
}

std::vector<std::uint8_t> ImageConverter::screen_bmp_bytes(int id, imaging::ScreenFit fit,
                                                           const imaging::Screen& screen) const {
    check_id(id);
    try {
        if (!coded_.empty())
            return imaging::render_screen_bmp24(imaging::decode_codec_picture(coded_, screen.background), fit,
                                                screen);
        if (jpeg_.empty())
            return imaging::render_screen_bmp24(imaging::BmpImage::parse(bmp_).to_pixels(), fit, screen);
        return imaging::render_jpeg_screen_bmp24(jpeg_, fit, screen);
    } catch (const InvalidGraphic&) {
        throw InvalidGraphic(format_message("Cannot read picture %s", path_));
    }
}

} // namespace velmaro::wallpaper
