// The wallpaper converter: reads a picture file into a buffer at the wallpaper request
// and gives that buffer as a 24-bit BMP file's bytes at the tick, two seconds later,
// which the tick writes as the staged file.
//
// Only the latest request's buffer is ever needed, so one buffer is kept; a new one
// replaces it only once it has been read whole, so a request whose file cannot be read
// leaves the earlier (still pending) request's buffer usable.
//
// A bitmap's buffer is its 24-bit BMP file; a JPEG's buffer is the file's bytes, checked
// up to its first scan at the request and decoded at the tick, at full size and upright
// for the staged file, or at the scale the screen needs for Fit and Fill. A picture of
// the system's codecs (see system_codec.h) is kept as the file's bytes too, its first
// frame's header checked at the request and decoded at the tick, transparency laid over
// the background colour given then.
#pragma once

#include "imaging/screen_fit.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmaro::wallpaper {

class ImageConverter {
  public:
    // Reads a BMP or JPEG file (recognised by its contents), or, under a name that asks
    // for the system's codecs, a file that they read, and returns the new buffer's id;
    // ids start at 1 and only increase. Throws FileError "Cannot open file %s" for a file
    // that cannot be read and InvalidGraphic "Cannot read picture %s" for one that is no
    // picture it knows.
    int load(const std::string& path);

    // The buffer as a 24-bit BMP file, a JPEG picture upright. Throws Error
    // "No picture in buffer %d" for an id that is not the latest one, and InvalidGraphic
    // "Cannot read picture %s" when a picture's data cannot be decoded. Transparency is
    // laid over `background` (0x00RRGGBB).
    std::vector<std::uint8_t> bmp_bytes(int id, std::uint32_t background = 0) const;

    // The buffer rendered at the screen's size for Fit or Fill (see screen_fit.h), as a
    // 24-bit BMP file. Throws like bmp_bytes.
    std::vector<std::uint8_t> screen_bmp_bytes(int id, imaging::ScreenFit fit,
                                               const imaging::Screen& screen) const;

  private:
    void check_id(int id) const;

    int id_ = 0;
    std::string path_;                // the file the buffer was read from, for messages
    std::vector<std::uint8_t> bmp_;   // a bitmap's 24-bit file
    std::vector<std::uint8_t> jpeg_;  // or a JPEG file's bytes
    std::vector<std::uint8_t> coded_; // or the bytes of a file for the system's codecs
};

} // namespace velmaro::wallpaper
