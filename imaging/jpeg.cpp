#include "imaging/jpeg.h"

#include "base/error.h"
#include "imaging/bmp_write.h"
#include "imaging/exif.h"
#include "imaging/limits.h"
#include "imaging/orientation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <jpeglib.h>

namespace velmaro::imaging {

namespace {

[[noreturn]] void invalid() {
    throw InvalidGraphic("Not a valid JPEG picture");
}

// libjpeg's default error handler ends the process. Ours jumps back to the guarded call
// that started the failing step (see run_step), which turns it into InvalidGraphic.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void on_error_exit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
// Warnings (corrupt data, premature end of data) say nothing: the picture is shown as
// far as it decodes.
void on_emit_message(j_common_ptr, int) {}
void on_output_message(j_common_ptr) {}

using Step = void (*)(j_decompress_ptr cinfo, void* arg);

// Runs one libjpeg step. This frame and every step hold only trivially destructible
// objects, so the longjmp from on_error_exit skips no destructor; the step's libjpeg
// frames in between are plain C. The caller turns `false` into an exception, outside.
bool run_step(ErrorManager* err, j_decompress_ptr cinfo, Step step, void* arg) {
    if (setjmp(err->jump) != 0)
        return false;
    step(cinfo, arg);
    return true;
}

struct ScanlineBatch {
    JSAMPARRAY rows;
    JDIMENSION count;
    JDIMENSION read;
};

// The libjpeg object and its error manager; a member of its own so that it is destroyed
// even when the Decompressor's constructor fails halfway.
struct LibjpegObject {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    bool created = false;

    LibjpegObject() {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = on_error_exit;
        err.pub.emit_message = on_emit_message;
        err.pub.output_message = on_output_message;
        if (!run_step(
                &err, &cinfo, [](j_decompress_ptr c, void*) { jpeg_create_decompress(c); }, nullptr))
            invalid();
        created = true;
    }
    ~LibjpegObject() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
    LibjpegObject(const LibjpegObject&) = delete;
    LibjpegObject& operator=(const LibjpegObject&) = delete;
};

// Where the compressed data comes from: bytes held in memory, or an open file read as
// the decoder goes (`size` is the file's length, for the size check).
struct Source {
    std::span<const std::uint8_t> bytes;
    std::FILE* file = nullptr;
    std::int64_t size = 0;
};

// One decompressor over one source.
class Decompressor {
  public:
    explicit Decompressor(std::span<const std::uint8_t> bytes) : Decompressor(Source{bytes, nullptr, 0}) {}

    explicit Decompressor(Source source) : source_(source) {
        if (!source_.file) {
            if (source_.bytes.empty() || source_.bytes.size() > ULONG_MAX)
                invalid();
            source_.size = static_cast<std::int64_t>(source_.bytes.size());
        }
        // Memory for whole-picture coefficient buffers (progressive and multi-scan files)
        // beyond this makes libjpeg fail instead of allocating.
        cinfo_.mem->max_memory_to_use = kMaxJpegWorkingMemory;
        step(
            [](j_decompress_ptr c, void* arg) {
                auto* src = static_cast<Source*>(arg);
                if (src->file)
                    jpeg_stdio_src(c, src->file);
                else
                    jpeg_mem_src(c, src->bytes.data(), static_cast<unsigned long>(src->bytes.size()));
                // APP1 segments are kept for the Exif orientation.
                jpeg_save_markers(c, JPEG_APP0 + 1, 0xFFFF);
                jpeg_read_header(c, TRUE);
            },
            &source_);
        check_size();
    }

    jpeg_decompress_struct& info() { return cinfo_; }

    JpegHeader header() const {
        JpegHeader h;
        h.width = static_cast<int>(cinfo_.image_width);
        h.height = static_cast<int>(cinfo_.image_height);
        h.components = cinfo_.num_components;
        switch (cinfo_.jpeg_color_space) {
        case JCS_GRAYSCALE:
            h.color = JpegColor::Gray;
            break;
        case JCS_YCbCr:
            h.color = JpegColor::YCbCr;
            break;
        case JCS_RGB:
            h.color = JpegColor::Rgb;
            break;
        case JCS_CMYK:
            h.color = JpegColor::Cmyk;
            break;
        case JCS_YCCK:
            h.color = JpegColor::Ycck;
            break;
        default:
            h.color = JpegColor::Other;
            break;
        }
        h.progressive = cinfo_.progressive_mode != 0;
        h.arithmetic = cinfo_.arith_code != 0;
        h.orientation = orientation();
        return h;
    }

    bool four_component() const {
        return cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
    }
    // Adobe's applications write CMYK inverted (0 = full ink) and mark the file with
    // their APP14 marker; libjpeg hands the values through as stored.
    bool inverted_cmyk() const { return cinfo_.saw_Adobe_marker != 0; }

    void start(int scale_eighths, J_COLOR_SPACE out) {
        cinfo_.scale_num = static_cast<unsigned>(scale_eighths);
        cinfo_.scale_denom = 8;
        cinfo_.out_color_space = four_component() ? JCS_CMYK : out;
        step([](j_decompress_ptr c, void*) { jpeg_start_decompress(c); }, nullptr);
    }

    // Reads up to `count` rows into `rows`; returns how many came.
    int read_rows(JSAMPARRAY rows, int count) {
        ScanlineBatch batch{rows, static_cast<JDIMENSION>(count), 0};
        step(
            [](j_decompress_ptr c, void* arg) {
                auto* b = static_cast<ScanlineBatch*>(arg);
                b->read = jpeg_read_scanlines(c, b->rows, b->count);
            },
            &batch);
        if (batch.read == 0) // a suspending source is never used, so no rows means no data
            invalid();
        return static_cast<int>(batch.read);
    }

    // Decodes only the columns [first, last), widened by the decoder to whole blocks:
    // `first` and `last` become the columns it keeps. Before any row is read.
    void crop_columns(int& first, int& last) {
        struct Crop {
            JDIMENSION offset, width;
        } crop{static_cast<JDIMENSION>(first), static_cast<JDIMENSION>(last - first)};
        step(
            [](j_decompress_ptr c, void* arg) {
                auto* k = static_cast<Crop*>(arg);
                jpeg_crop_scanline(c, &k->offset, &k->width);
            },
            &crop);
        first = static_cast<int>(crop.offset);
        last = first + static_cast<int>(crop.width);
    }

    // Passes over `count` rows: their data is read, but not turned into pixels.
    void skip_rows(int count) {
        JDIMENSION lines = static_cast<JDIMENSION>(count);
        step(
            [](j_decompress_ptr c, void* arg) {
                auto* n = static_cast<JDIMENSION*>(arg);
                *n = jpeg_skip_scanlines(c, *n);
            },
            &lines);
        if (lines != static_cast<JDIMENSION>(count))
            invalid();
    }

  private:
    // The first Exif block's orientation; the picture as stored without one.
    int orientation() const {
        for (jpeg_saved_marker_ptr m = cinfo_.marker_list; m; m = m->next)
            if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
                return exif_orientation({m->data, m->data_length});
        return kOrientationAsStored;
    }

    void step(Step s, void* arg) {
        if (!run_step(&err_, &cinfo_, s, arg))
            invalid();
    }

    // Refuses pictures beyond the pixel ceiling, or larger than the file could describe
    // (see limits.h), before anything of their size is allocated.
    void check_size() const {
        const std::int64_t pixels = std::int64_t{cinfo_.image_width} * cinfo_.image_height;
        if (pixels <= 0 || pixels > kMaxPixels)
            invalid();
        if (!cinfo_.arith_code && pixels > kAlwaysAllowedPixels &&
            pixels > kMaxJpegPixelsPerByte * source_.size)
            invalid();
        if (cinfo_.jpeg_color_space == JCS_UNKNOWN)
            invalid();
    }

    LibjpegObject lib_;
    jpeg_decompress_struct& cinfo_ = lib_.cinfo;
    ErrorManager& err_ = lib_.err;
    Source source_;
};

// CMYK (or YCCK, which libjpeg turns into CMYK) to RGB, the simple way every viewer
// uses without a colour profile: each channel is its ink's absence times black's absence.
void cmyk_to_bgra(const std::uint8_t* cmyk, std::uint8_t* bgra, int width, bool inverted, int step) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgra += step) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // c, m, y, k now hold 255 - ink.
        bgra[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        bgra[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        bgra[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
        if (step == 4)
            bgra[3] = 255;
    }
}

constexpr int kBatchRows = 16;

// 64-bit file positions on both C libraries.
int file_seek(std::FILE* f, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, offset, whence);
#else
    return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}
std::int64_t file_tell(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}

} // namespace

JpegHeader read_jpeg_header(std::span<const std::uint8_t> file) {
    Decompressor d(file);
    return d.header();
}

int jpeg_scale_eighths(const JpegHeader& header, int min_width, int min_height) {
    if (min_width <= 0 || min_height <= 0)
        return 8;
    for (int n = 1; n < 8; ++n) {
        // libjpeg's scaled size: the exact product rounded up.
        const std::int64_t w = (std::int64_t{header.width} * n + 7) / 8;
        const std::int64_t h = (std::int64_t{header.height} * n + 7) / 8;
        if (w >= min_width && h >= min_height)
            return n;
    }
    return 8;
}

Pixels decode_jpeg(std::span<const std::uint8_t> file, int min_width, int min_height,
                   const DecodeProgress& progress) {
    Decompressor d(file);
    d.start(jpeg_scale_eighths(d.header(), min_width, min_height), JCS_EXT_BGRA);
    jpeg_decompress_struct& info = d.info();

    Pixels out;
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.bgra.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);

    const bool cmyk = info.out_color_space == JCS_CMYK;
    std::vector<std::uint8_t> cmyk_rows(cmyk ? static_cast<std::size_t>(out.width) * 4 * kBatchRows : 0);
    // Report progress about every eighth of the picture, so a redraw costs little.
    const int report_every = std::max(kBatchRows, out.height / 8);
    int next_report = report_every;

    int done = 0;
    JSAMPROW rows[kBatchRows];
    while (done < out.height) {
        const int want = std::min(kBatchRows, out.height - done);
        for (int i = 0; i < want; ++i)
            rows[i] =
                cmyk ? cmyk_rows.data() + static_cast<std::size_t>(i) * out.width * 4 : out.row(done + i);
        const int got = d.read_rows(rows, want);
        if (cmyk)
            for (int i = 0; i < got; ++i)
                cmyk_to_bgra(rows[i], out.row(done + i), out.width, d.inverted_cmyk(), 4);
        done += got;
        if (progress && done >= next_report && done < out.height) {
            progress(out, done);
            next_report = done + report_every;
        }
    }
    return out;
}

namespace {

// Reads `height` rows of a started 3-byte B, G, R decode (all that are left when -1) to
// where row_at(y) says, y counted from the first row read.
template <typename RowAt> void read_bgr_rows(Decompressor& d, RowAt row_at, int height = -1) {
    jpeg_decompress_struct& info = d.info();
    const int width = static_cast<int>(info.output_width);
    if (height < 0)
        height = static_cast<int>(info.output_height - info.output_scanline);
    const bool cmyk = info.out_color_space == JCS_CMYK;
    std::vector<std::uint8_t> cmyk_rows(cmyk ? static_cast<std::size_t>(width) * 4 * kBatchRows : 0);
    int done = 0;
    JSAMPROW rows[kBatchRows];
    while (done < height) {
        const int want = std::min(kBatchRows, height - done);
        for (int i = 0; i < want; ++i)
            rows[i] = cmyk ? cmyk_rows.data() + static_cast<std::size_t>(i) * width * 4 : row_at(done + i);
        const int got = d.read_rows(rows, want);
        if (cmyk)
            for (int i = 0; i < got; ++i)
                cmyk_to_bgra(rows[i], row_at(done + i), width, d.inverted_cmyk(), 3);
        done += got;
    }
}

Raster decode_bgr(Decompressor& d, int scale_eighths) {
    d.start(scale_eighths, JCS_EXT_BGR);
    Raster out(static_cast<int>(d.info().output_width), static_cast<int>(d.info().output_height), 3);
    read_bgr_rows(d, [&](int y) { return out.data.data() + out.stride() * y; });
    return out;
}

std::vector<std::uint8_t> decode_to_bmp24(Decompressor& d) {
    const int orientation = d.header().orientation;
    if (orientation != kOrientationAsStored) {
        // Turned upright from a decoded copy: twice the memory, but only for such photos.
        const Raster stored = decode_bgr(d, 8);
        const Size up = upright_size(stored.width, stored.height, orientation);
        const auto stride = static_cast<std::ptrdiff_t>(bmp24_stride(up.width));
        std::vector<std::uint8_t> out(54 + static_cast<std::size_t>(stride) * up.height);
        put_bmp24_header(out.data(), up.width, up.height);
        orient_into(stored.view(), orientation,
                    View{out.data() + 54 + stride * (up.height - 1), up.width, up.height, -stride, 3});
        return out;
    }
    d.start(8, JCS_EXT_BGR);
    jpeg_decompress_struct& info = d.info();
    const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
    const std::size_t stride = bmp24_stride(width);

    // The decoder writes its rows straight into their places in the file, bottom-up.
    std::vector<std::uint8_t> out(54 + stride * static_cast<std::size_t>(height));
    put_bmp24_header(out.data(), width, height);
    read_bgr_rows(d,
                  [&](int y) { return out.data() + 54 + stride * static_cast<std::size_t>(height - 1 - y); });
    return out;
}

// The pixel span [first, last) widened by `margin` and kept inside [0, size).
void widen(double from, double to, int size, int margin, int& first, int& last) {
    first = std::clamp(static_cast<int>(std::floor(from * size)) - margin, 0, size - 1);
    last = std::clamp(static_cast<int>(std::ceil(to * size)) + margin, first + 1, size);
}

} // namespace

namespace {

// The rows handed over at a time, and how many such bands the decoder may be ahead of the
// reader on its own thread.
constexpr int kBandRows = 16;
constexpr int kBandsAhead = 4;
// Below this many pixels a part decodes in less time than a thread takes to start.
constexpr std::int64_t kPixelsWorthAThread = std::int64_t{1} << 18;

} // namespace

// The decoder of a part: the rows above it are passed over before its first band.
struct JpegPartRows::Decoder {
    Decompressor d;
    int skip = 0;   // rows above the part not passed over yet
    int height = 0; // the part's rows
    int done = 0;   // and how many of them are decoded
    explicit Decoder(std::span<const std::uint8_t> file) : d(file) {}

    void decode_band(std::uint8_t* band) {
        if (skip > 0) {
            d.skip_rows(skip);
            skip = 0;
        }
        const auto stride = static_cast<std::size_t>(d.info().output_width) * 3;
        const int count = std::min(kBandRows, height - done);
        read_bgr_rows(
            d, [&](int y) { return band + stride * static_cast<std::size_t>(y); }, count);
        done += count;
    }
};

// The bands of decoded rows between the decoder and the reader: a ring of `slots` bands,
// band n in slot n % slots. The decoder may write band n once the reader has moved past
// band n - slots; the reader may read it once it is written. A decoding error ends the
// decoding and is handed to the reader in place of the band it spoiled.
class JpegPartRows::Bands {
  public:
    Bands(int slots, std::size_t band_bytes)
        : slots_(slots), band_bytes_(band_bytes), data_(band_bytes * slots) {}

    std::uint8_t* band(std::int64_t n) {
        return data_.data() + band_bytes_ * static_cast<std::size_t>(n % slots_);
    }

    // The decoder's side. Waits until band n may be written; false once the reader is gone.
    bool wait_to_write(std::int64_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || n < read_ + slots_; });
        return !closed_;
    }
    void written(std::exception_ptr failure = nullptr) {
        {
            const std::lock_guard lock(mutex_);
            if (failure)
                failure_ = std::move(failure);
            else
                ++written_;
        }
        changed_.notify_all();
    }
    bool failed() {
        const std::lock_guard lock(mutex_);
        return failure_ != nullptr;
    }

    // The reader's side. Moves on to band n, giving back those before it, and waits until it
    // is written; rethrows the error that ended the decoding before it.
    void wait_to_read(std::int64_t n) {
        std::unique_lock lock(mutex_);
        read_ = n;
        changed_.notify_all();
        changed_.wait(lock, [&] { return written_ > n || failure_; });
        if (written_ <= n)
            std::rethrow_exception(failure_);
    }
    void close() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
    }

  private:
    const int slots_;
    const std::size_t band_bytes_;
    std::vector<std::uint8_t> data_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t written_ = 0, read_ = 0;
    bool closed_ = false;
    std::exception_ptr failure_;
};

JpegPartRows::JpegPartRows(std::span<const std::uint8_t> file, int min_width, int min_height, double s0,
                           double t0, double s1, double t1, int reach, PartDecoding decoding)
    : decoder_(std::make_unique<Decoder>(file)) {
    Decompressor& d = decoder_->d;
    d.start(jpeg_scale_eighths(d.header(), min_width, min_height), JCS_EXT_BGR);
    jpeg_decompress_struct& info = d.info();
    JpegPartPlace p;
    p.full_width = static_cast<int>(info.output_width);
    p.full_height = static_cast<int>(info.output_height);
    // The filter's reach in decoded pixels, one more for rounding and one for the columns
    // where the part is cut, which libjpeg's smooth chroma upsampling may take for the
    // picture's edge.
    const double ratio = std::max({1.0, min_width > 0 ? static_cast<double>(p.full_width) / min_width : 1.0,
                                   min_height > 0 ? static_cast<double>(p.full_height) / min_height : 1.0});
    const int margin = static_cast<int>(std::ceil(std::max(reach, 0) * ratio)) + 2;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    widen(s0, s1, p.full_width, margin, x0, x1);
    widen(t0, t1, p.full_height, margin, y0, y1);
    if (x0 > 0 || x1 < p.full_width)
        d.crop_columns(x0, x1); // widened to whole blocks
    p.left = x0, p.top = y0;
    p.width = static_cast<int>(info.output_width), p.height = y1 - y0;
    place_ = p;
    decoder_->skip = y0;
    decoder_->height = p.height;

    const bool ahead = decoding == PartDecoding::Ahead ||
                       (decoding == PartDecoding::Auto && std::thread::hardware_concurrency() > 1 &&
                        std::int64_t{p.width} * p.height >= kPixelsWorthAThread);
    bands_ =
        std::make_unique<Bands>(ahead ? kBandsAhead : 1, static_cast<std::size_t>(p.width) * 3 * kBandRows);
    if (ahead) {
        try {
            worker_ = std::thread(&JpegPartRows::decode_ahead, this);
        } catch (const std::system_error&) {
            // No thread to be had: the same work is done in turn.
        }
    }
}

JpegPartRows::~JpegPartRows() {
    if (worker_.joinable()) {
        bands_->close();
        worker_.join();
    }
}

void JpegPartRows::decode_band(std::int64_t n) noexcept {
    try {
        decoder_->decode_band(bands_->band(n));
        bands_->written();
    } catch (...) {
        bands_->written(std::current_exception());
    }
}

void JpegPartRows::decode_ahead() noexcept {
    const std::int64_t bands = (place_.height + kBandRows - 1) / kBandRows;
    for (std::int64_t n = 0; n < bands && bands_->wait_to_write(n) && !bands_->failed(); ++n)
        decode_band(n);
}

void JpegPartRows::move_to_band(std::int64_t band) {
    if (!worker_.joinable())
        for (std::int64_t n = band_ + 1; n <= band && !bands_->failed(); ++n)
            decode_band(n);
    bands_->wait_to_read(band);
    band_ = band;
}

const std::uint8_t* JpegPartRows::row(int y) {
    const std::int64_t band = y / kBandRows;
    if (y < 0 || y >= place_.height || band < band_)
        invalid();
    if (band != band_)
        move_to_band(band);
    return bands_->band(band) + static_cast<std::size_t>(place_.width) * 3 * (y % kBandRows);
}

JpegPart decode_jpeg_part_bgr(std::span<const std::uint8_t> file, int min_width, int min_height, double s0,
                              double t0, double s1, double t1, int reach) {
    JpegPartRows rows(file, min_width, min_height, s0, t0, s1, t1, reach);
    const JpegPartPlace& p = rows.place();
    JpegPart part{Raster(p.width, p.height, 3), p.left, p.top, p.full_width, p.full_height};
    for (int y = 0; y < p.height; ++y)
        std::memcpy(part.pixels.data.data() + part.pixels.stride() * y, rows.row(y),
                    static_cast<std::size_t>(part.pixels.stride()));
    return part;
}

Raster decode_jpeg_bgr(std::span<const std::uint8_t> file, int min_width, int min_height) {
    Decompressor d(file);
    return decode_bgr(d, jpeg_scale_eighths(d.header(), min_width, min_height));
}

std::vector<std::uint8_t> jpeg_to_bmp24(std::span<const std::uint8_t> file) {
    Decompressor d(file);
    return decode_to_bmp24(d);
}

std::vector<std::uint8_t> jpeg_file_to_bmp24(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::int64_t size = -1;
    if (file && file_seek(file.get(), 0, SEEK_END) == 0) {
        size = file_tell(file.get());
        if (file_seek(file.get(), 0, SEEK_SET) != 0)
            size = -1;
    }
    if (size < 0)
        throw FileError(format_message("Cannot open file %s", path));
    if (size == 0)
        invalid();
    // A read error looks like the end of the data to libjpeg; it is told apart here.
    std::vector<std::uint8_t> bmp;
    try {
        Decompressor d(Source{{}, file.get(), size});
        bmp = decode_to_bmp24(d);
    } catch (const InvalidGraphic&) {
        if (std::ferror(file.get()))
            throw FileError(format_message("Cannot open file %s", path));
        throw;
    }
    if (std::ferror(file.get()))
        throw FileError(format_message("Cannot open file %s", path));
    return bmp;
}

} // namespace velmaro::imaging
