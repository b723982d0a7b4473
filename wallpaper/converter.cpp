#include "wallpaper/converter.h"

#include <array>
#include <cstdio>
#include <memory>

#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging/bmp_write.h"
#include "imaging/jpeg.h"
#include "imaging/picture.h"
#include "imaging/system_codec.h"

namespace velmaro::wallpaper {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueStdFile = std::unique_ptr<std::FILE, FileCloser>;

// A file named .jpg may hold a bitmap and the other way round; the contents decide.
std::vector<std::uint8_t> to_bmp24(std::span<const std::uint8_t> file) {
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M')
        return imaging::write_bmp24(imaging::BmpImage::parse(file).to_pixels());
    if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xD8)
        return imaging::jpeg_to_bmp24(file);
    throw InvalidGraphic("Unknown picture format");
}

} // namespace

std::vector<std::uint8_t> read_whole_file(const std::string& path) {
    UniqueStdFile f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw FileError(format_message("Cannot open file %s", path));
    std::vector<std::uint8_t> bytes;
    // Room for the whole file at once, so that a large picture is not copied over and over
    // as the vector grows (the length is only a hint: the reading goes on to the end).
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long length = std::ftell(f.get());
        if (length > 0)
            bytes.reserve(static_cast<std::size_t>(length));
        std::rewind(f.get());
    }
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, f.get());
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(f.get()))
        throw FileError(format_message("Cannot open file %s", path));
    return bytes;
}

namespace {
// The first bytes of a file, which tell a bitmap from a JPEG stream.
std::array<std::uint8_t, 2> signature(const std::string& path) {
    UniqueStdFile f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw FileError(format_message("Cannot open file %s", path));
    std::array<std::uint8_t, 2> sig{};
    if (std::fread(sig.data(), 1, sig.size(), f.get()) != sig.size())
        sig = {};
    return sig;
}
} // namespace

namespace {
// Whether the name asks for the system's codecs. A file named like a bitmap or a JPEG
// picture never goes to them, so those files are read exactly as they always were.
bool named_for_codecs(const std::string& path) {
    try {
        return imaging::picture_kind_for(path) == imaging::PictureKind::Codec;
    } catch (const InvalidGraphic&) {
        return false;
    }
}
} // namespace

int ImageConverter::load(const std::string& path) {
    std::vector<std::uint8_t> bmp, jpeg, coded;
    try {
        const auto sig = signature(path);
        if (sig == std::array<std::uint8_t, 2>{0xFF, 0xD8}) {
            jpeg = read_whole_file(path);
            imaging::read_jpeg_header(jpeg);
        } else if (sig != std::array<std::uint8_t, 2>{'B', 'M'} && named_for_codecs(path)) {
            coded = read_whole_file(path);
            imaging::read_codec_header(coded);
        } else {
            bmp = to_bmp24(read_whole_file(path));
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
