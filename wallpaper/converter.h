// The wallpaper converter: reads a picture file into a buffer at the wallpaper request
// and gives that buffer as a 24-bit BMP file's bytes at the tick, two seconds later,
// which the tick writes as the staged file.
//
// Only the latest request's buffer is ever needed, so one buffer is kept; a new one
// replaces it only once it has been read whole, so a request whose file cannot be read
// leaves the earlier (still pending) request's buffer usable.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmaro::wallpaper {

class ImageConverter {
  public:
    // Reads a BMP or JPEG file (recognised by its contents) and returns the new buffer's
    // id; ids start at 1 and only increase. Throws FileError "Cannot open file %s" for
    // a file that cannot be read and InvalidGraphic "Cannot read picture %s" for one
    // that is no picture it knows.
    int load(const std::string& path);

    // The buffer as a 24-bit BMP file. Throws Error "No picture in buffer %d" for an id
    // that is not the latest one.
    std::span<const std::uint8_t> bmp_bytes(int id) const;

    int latest_id() const { return id_; }

  private:
    int id_ = 0;
    std::vector<std::uint8_t> bmp_;
};

// Reads a whole file; FileError "Cannot open file %s" when it cannot be opened or read.
std::vector<std::uint8_t> read_whole_file(const std::string& path);

} // namespace velmaro::wallpaper
