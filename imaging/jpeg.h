// JPEG pictures through libjpeg-turbo: the header alone at load, the pixels when drawn
// (scaled down by the decoder itself for a small frame), and a full decode straight into
// a 24-bit bitmap file for the wallpaper converter.
//
// Every libjpeg error becomes velmaro::InvalidGraphic; warnings are silent. A truncated
// file decodes as far as its data goes (the rest grey, as libjpeg fills it); a stream
// without a complete header is rejected.
#pragma once

#include "imaging/pixels.h"
#include "imaging/raster.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace velmaro::imaging {

enum class JpegColor { Gray, YCbCr, Rgb, Cmyk, Ycck, Other };

struct JpegHeader {
    int width = 0, height = 0;
    int components = 0;
    JpegColor color = JpegColor::Other;
    bool progressive = false;
    bool arithmetic = false;
    int orientation = 1; // Exif orientation 1 to 8 (see exif.h); width and height are as stored
};

// Reads the header (through the first start-of-scan). Throws velmaro::InvalidGraphic.
JpegHeader read_jpeg_header(std::span<const std::uint8_t> file);

// The scale n/8 (n = 1..8) that the decoder would use so that the picture comes out as
// small as possible but still at least min_width x min_height; 8 when either is 0 or the
// picture is smaller than asked.
int jpeg_scale_eighths(const JpegHeader& header, int min_width, int min_height);

// Decodes to top-down BGRA at the scale above (0, 0 = full size), as stored (not turned
// upright: see orient in orientation.h). Gray, YCbCr, RGB,
// CMYK and YCCK pictures all come out as RGB; Adobe's inverted CMYK is handled.
Pixels decode_jpeg(std::span<const std::uint8_t> file, int min_width = 0, int min_height = 0,
                   const DecodeProgress& progress = {});

// Decodes to top-down 3-byte B, G, R rows at the scale above, as stored (not turned
// upright). Throws like decode_jpeg.
Raster decode_jpeg_bgr(std::span<const std::uint8_t> file, int min_width, int min_height);

// The part of a picture between the fractions s0..s1 of its width and t0..t1 of its
// height, decoded at the scale above with `reach` pixels of min_width x min_height around
// it where the picture has them (the neighbours a resampling filter reads): top-down
// 3-byte B, G, R rows, as stored. The rows above the part are skipped, those below never
// decoded, and columns are cut as finely as the decoder allows.
//
// JpegPartRows hands the rows over as they are decoded, once each and from the top down,
// so that the part is never held whole and never decoded twice; decode_jpeg_part_bgr
// collects them. Both throw like decode_jpeg.
struct JpegPartPlace {
    int left = 0, top = 0;               // where the part lies in the whole scaled picture
    int width = 0, height = 0;           // the part's size
    int full_width = 0, full_height = 0; // the whole scaled picture's size
};

// Where JpegPartRows decodes: on a second thread, a few bands of rows ahead of the reader
// (Auto does so where the machine has another core and the part is large enough to pay
// for a thread), or in turn with the reading, on the reader's thread.
enum class PartDecoding { Auto, InTurn, Ahead };

class JpegPartRows {
  public:
    JpegPartRows(std::span<const std::uint8_t> file, int min_width, int min_height, double s0, double t0,
                 double s1, double t1, int reach, PartDecoding decoding = PartDecoding::Auto);
    // Stops the decoding thread, if any, and waits for it.
    ~JpegPartRows();
    JpegPartRows(const JpegPartRows&) = delete;
    JpegPartRows& operator=(const JpegPartRows&) = delete;

    const JpegPartPlace& place() const { return place_; }
    bool decodes_ahead() const { return worker_.joinable(); }
    // Row y of the part (0 = its top), valid until the next call. Rows are asked for from
    // the top down (rows may be skipped; those of the last band handed over may be asked for
    // again); an earlier row, or a decoding error on the way, throws InvalidGraphic.
    const std::uint8_t* row(int y);

  private:
    struct Decoder;
    class Bands;
    void decode_band(std::int64_t n) noexcept;
    void decode_ahead() noexcept;
    void move_to_band(std::int64_t band);

    JpegPartPlace place_;
    std::unique_ptr<Decoder> decoder_;
    std::unique_ptr<Bands> bands_;
    std::int64_t band_ = -1; // the band the reader is in
    std::thread worker_;
};

struct JpegPart {
    Raster pixels;
    int left = 0, top = 0, full_width = 0, full_height = 0; // as in JpegPartPlace
};
JpegPart decode_jpeg_part_bgr(std::span<const std::uint8_t> file, int min_width, int min_height, double s0,
                              double t0, double s1, double t1, int reach);

// Full-size decode, upright by the Exif orientation, written directly as a bottom-up 24-bit BMP file (the
// result of write_bmp24 on the decoded picture, without a 32-bit intermediate).
std::vector<std::uint8_t> jpeg_to_bmp24(std::span<const std::uint8_t> file);

// The same, reading the JPEG file as it decodes instead of holding it whole: the peak
// memory is then the bitmap and little more. A file that cannot be opened or read raises
// velmaro::FileError "Cannot open file %s".
std::vector<std::uint8_t> jpeg_file_to_bmp24(const std::string& path);

} // namespace velmaro::imaging
