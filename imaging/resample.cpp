#include "imaging/resample.h"

#include "base/error.h"
#include "imaging/exif.h"
#include "imaging/orientation.h"

#include <zimg.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace velmaro::imaging {

namespace {

[[noreturn]] void cannot_scale() {
    throw Error("Cannot scale the picture");
}

// The sRGB curve both ways, as tables. Back from linear light, the table is indexed by
// the float's exponent and its top kMantissaBits mantissa bits, so that its steps are
// finer where the curve is steeper (a tenth of an 8-bit code at most) and the whole table
// stays in the first-level cache.
constexpr int kMantissaBits = 10;
constexpr int kIndexShift = 23 - kMantissaBits;
constexpr float kDarkest = 1.0f / 8192;   // below it, code 0
constexpr float kBrightest = 0.99999994f; // the float below 1
constexpr std::uint32_t kFirstBucket = std::bit_cast<std::uint32_t>(kDarkest) >> kIndexShift;
constexpr std::uint32_t kBuckets =
    (std::bit_cast<std::uint32_t>(kBrightest) >> kIndexShift) - kFirstBucket + 1;

double linear_to_srgb(double l) {
    return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

struct SrgbTables {
    std::array<float, 256> to_linear{};
    std::vector<std::uint8_t> to_srgb = std::vector<std::uint8_t>(kBuckets);

    SrgbTables() {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            to_linear[i] = static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        for (std::uint32_t i = 0; i < kBuckets; ++i) {
            const std::uint32_t first_bits = (kFirstBucket + i) << kIndexShift;
            const double low = std::bit_cast<float>(first_bits);
            const double high = std::bit_cast<float>(first_bits + (1u << kIndexShift));
            to_srgb[i] = static_cast<std::uint8_t>(std::lround(linear_to_srgb((low + high) / 2) * 255));
        }
    }
};

// One linear-light value to its 8-bit code through the table (data() of to_srgb).
inline std::uint8_t encode(const std::uint8_t* to_srgb, float linear) {
    const float clamped = std::min(std::max(linear, kDarkest), kBrightest);
    return to_srgb[(std::bit_cast<std::uint32_t>(clamped) >> kIndexShift) - kFirstBucket];
}

const SrgbTables& srgb() {
    static const SrgbTables tables;
    return tables;
}

// Memory aligned as zimg's vector code requires of every plane row and its scratch space.
constexpr std::size_t kAlign = 64;

class AlignedBlock {
  public:
    AlignedBlock() = default;
    explicit AlignedBlock(std::size_t bytes) : raw_(new std::byte[bytes + kAlign]) {
        const auto address = reinterpret_cast<std::uintptr_t>(raw_.get());
        data_ = raw_.get() + (kAlign - address % kAlign) % kAlign;
    }
    std::byte* data() const { return data_; }

  private:
    std::unique_ptr<std::byte[]> raw_;
    std::byte* data_ = nullptr;
};

// Three planes (R, G, B) of float or 8-bit samples as zimg reads or writes them: whole, or
// a ring of rows (row y at y & mask) when zimg needs only a few at a time.
class Planes {
  public:
    Planes(int width, int height, unsigned buffering, std::size_t sample_size)
        : stride_(static_cast<std::ptrdiff_t>((static_cast<std::size_t>(width) * sample_size + kAlign - 1) /
                                              kAlign * kAlign)),
          mask_(zimg_select_buffer_mask(buffering)),
          rows_(mask_ == ZIMG_BUFFER_MAX || mask_ >= static_cast<unsigned>(height)
                    ? static_cast<unsigned>(height)
                    : mask_ + 1),
          block_(static_cast<std::size_t>(stride_) * rows_ * 3) {
        if (rows_ == static_cast<unsigned>(height))
            mask_ = ZIMG_BUFFER_MAX;
    }
    template <typename Sample> Sample* row(int plane, unsigned y) const {
        const unsigned ring_row = mask_ == ZIMG_BUFFER_MAX ? y : (y & mask_);
        return reinterpret_cast<Sample*>(plane_data(plane) + stride_ * static_cast<std::ptrdiff_t>(ring_row));
    }
    template <typename Buffer> Buffer buffer() const {
        Buffer b{};
        b.version = ZIMG_API_VERSION;
        for (int p = 0; p < 3; ++p) {
            b.plane[p].data = plane_data(p);
            b.plane[p].stride = stride_;
            b.plane[p].mask = mask_;
        }
        return b;
    }

  private:
    std::byte* plane_data(int plane) const {
        return block_.data() + stride_ * static_cast<std::ptrdiff_t>(rows_) * plane;
    }
    std::ptrdiff_t stride_;
    unsigned mask_;
    unsigned rows_;
    AlignedBlock block_;
};

zimg_image_format rgb_format(int width, int height) {
    zimg_image_format f;
    zimg_image_format_default(&f, ZIMG_API_VERSION);
    f.width = static_cast<unsigned>(width);
    f.height = static_cast<unsigned>(height);
    f.pixel_type = ZIMG_PIXEL_FLOAT;
    f.color_family = ZIMG_COLOR_RGB;
    f.matrix_coefficients = ZIMG_MATRIX_RGB;
    f.transfer_characteristics = ZIMG_TRANSFER_LINEAR;
    f.color_primaries = ZIMG_PRIMARIES_BT709;
    return f;
}

// The part of a source that is scaled, in its pixels (zimg's active region).
struct Area {
    double left = 0, top = 0, width = 0, height = 0;
};

// Where the result is not larger than the part either way, zimg scales first and then
// turns the result into 8-bit sRGB itself (this version builds its graphs so); otherwise
// the result stays linear light, for the table above.
bool shrinks(const Area& area, Size dst) {
    return dst.width <= area.width && dst.height <= area.height;
}

// One zimg graph from linear-light planes of `src` (the part `area` of them) to planes of
// `dst`, linear light too or, with `encode`, 8-bit sRGB; with its scratch space.
class Graph {
  public:
    Graph(Size src, const Area& area, Size dst, bool encode) : encodes_(encode) {
        zimg_image_format in = rgb_format(src.width, src.height);
        in.active_region.left = area.left;
        in.active_region.top = area.top;
        in.active_region.width = area.width;
        in.active_region.height = area.height;
        zimg_image_format out = rgb_format(dst.width, dst.height);
        if (encode) {
            out.pixel_type = ZIMG_PIXEL_BYTE;
            out.depth = 8;
            out.pixel_range = ZIMG_RANGE_FULL;
            out.transfer_characteristics = ZIMG_TRANSFER_IEC_61966_2_1;
        }
        zimg_graph_builder_params params;
        zimg_graph_builder_params_default(&params, ZIMG_API_VERSION);
        params.resample_filter = ZIMG_RESIZE_BICUBIC; // b = 0, c = 0.5: Catmull-Rom
        params.filter_param_a = 0;
        params.filter_param_b = 0.5;
        params.allow_approximate_gamma = 1;
        graph_.reset(zimg_filter_graph_build(&in, &out, &params));
        std::size_t tmp_size = 0;
        if (!graph_ || zimg_filter_graph_get_tmp_size(graph_.get(), &tmp_size) != ZIMG_ERROR_SUCCESS ||
            zimg_filter_graph_get_input_buffering(graph_.get(), &in_rows_) != ZIMG_ERROR_SUCCESS ||
            zimg_filter_graph_get_output_buffering(graph_.get(), &out_rows_) != ZIMG_ERROR_SUCCESS)
            cannot_scale();
        tmp_ = AlignedBlock(tmp_size);
    }
    bool encodes() const { return encodes_; }
    unsigned in_rows() const { return in_rows_; }
    unsigned out_rows() const { return out_rows_; }

    // Without callbacks, `in` and `out` hold the whole pictures. False when zimg failed or a
    // callback asked it to stop.
    bool run(const Planes& in, const Planes& out, zimg_filter_graph_callback unpack, void* unpack_user,
             zimg_filter_graph_callback pack, void* pack_user) const {
        const auto src = in.buffer<zimg_image_buffer_const>();
        const auto dst = out.buffer<zimg_image_buffer>();
        return zimg_filter_graph_process(graph_.get(), &src, &dst, tmp_.data(), unpack, unpack_user, pack,
                                         pack_user) == ZIMG_ERROR_SUCCESS;
    }

  private:
    std::unique_ptr<zimg_filter_graph, decltype(&zimg_filter_graph_free)> graph_{nullptr,
                                                                                 &zimg_filter_graph_free};
    bool encodes_;
    unsigned in_rows_ = 0, out_rows_ = 0;
    AlignedBlock tmp_;
};

// Where the scaled rows go: row y of the scaled picture as stored starts at first(y) of
// the upright view and runs on in steps of `step` bytes.
class UprightRows {
  public:
    UprightRows(View upright, int orientation, int stored_width, int stored_height)
        : upright_(upright), orientation_(orientation), width_(stored_width), height_(stored_height) {
        step_ = stored_width > 1 ? at(1, 0) - at(0, 0) : 0;
    }
    std::uint8_t* first(int y) const { return at(0, y); }
    std::ptrdiff_t step() const { return step_; }

  private:
    std::uint8_t* at(int x, int y) const {
        int ux = 0, uy = 0;
        stored_to_upright(orientation_, width_, height_, x, y, ux, uy);
        return upright_.row(uy) + static_cast<std::ptrdiff_t>(ux) * upright_.channels;
    }
    View upright_;
    int orientation_, width_, height_;
    std::ptrdiff_t step_ = 0;
};

// The scaled rows on their way out: planes to 8-bit B, G, R (A opaque), turned upright.
class Sink {
  public:
    Sink(View upright, int orientation, Size scaled)
        : rows_(upright, orientation, scaled.width, scaled.height), alpha_(upright.channels == 4) {}

    // Row i of `planes` (8-bit sRGB already, or linear light), columns left..right, as row
    // y of the scaled picture.
    void put(const Planes& planes, bool encoded, unsigned i, int y, unsigned left, unsigned right) const {
        if (encoded) {
            put_row<std::uint8_t>(planes, i, y, left, right, [](std::uint8_t v) { return v; });
        } else {
            const std::uint8_t* to_srgb = srgb().to_srgb.data();
            put_row<float>(planes, i, y, left, right, [to_srgb](float v) { return encode(to_srgb, v); });
        }
    }

  private:
    template <typename Sample, typename Encode>
    void put_row(const Planes& planes, unsigned i, int y, unsigned left, unsigned right,
                 Encode encode) const {
        const std::ptrdiff_t step = rows_.step();
        std::uint8_t* d = rows_.first(y) + static_cast<std::ptrdiff_t>(left) * step;
        const Sample *r = planes.row<Sample>(0, i), *g = planes.row<Sample>(1, i),
                     *b = planes.row<Sample>(2, i);
        for (unsigned x = left; x < right; ++x, d += step) {
            d[0] = encode(b[x]);
            d[1] = encode(g[x]);
            d[2] = encode(r[x]);
            if (alpha_)
                d[3] = 255;
        }
    }
    UprightRows rows_;
    bool alpha_;
};

// 8-bit B, G, R (a pixel every `channels` bytes), columns left..right, into row i of
// linear-light planes.
void linearize(const std::uint8_t* s, int channels, const Planes& planes, unsigned i, unsigned left,
               unsigned right) {
    float *r = planes.row<float>(0, i), *g = planes.row<float>(1, i), *b = planes.row<float>(2, i);
    const float* lin = srgb().to_linear.data();
    s += static_cast<std::ptrdiff_t>(left) * channels;
    for (unsigned x = left; x < right; ++x, s += channels) {
        b[x] = lin[s[0]];
        g[x] = lin[s[1]];
        r[x] = lin[s[2]];
    }
}

void copy_row(const Planes& from, unsigned from_row, const Planes& to, unsigned to_row, unsigned left,
              unsigned right) {
    for (int p = 0; p < 3; ++p)
        std::memcpy(to.row<float>(p, to_row) + left, from.row<float>(p, from_row) + left,
                    (right - left) * sizeof(float));
}

// Scaling in one zimg graph, which asks for source rows as it goes, and may ask for them
// again (it goes down the picture once for each strip of columns that fits its cache).
struct WholeJob {
    const RowSource& src;
    const Planes& in;
    const Planes& out;
    const Sink& sink;
    bool encoded;
    std::exception_ptr failure = nullptr; // what a row of the source threw
};

int whole_unpack(void* user, unsigned i, unsigned left, unsigned right) {
    WholeJob& job = *static_cast<WholeJob*>(user);
    try {
        linearize(job.src.row(static_cast<int>(i)), job.src.channels, job.in, i, left, right);
    } catch (...) {
        job.failure = std::current_exception();
        return 1;
    }
    return 0;
}

int whole_pack(void* user, unsigned i, unsigned left, unsigned right) {
    const WholeJob& job = *static_cast<const WholeJob*>(user);
    job.sink.put(job.out, job.encoded, i, static_cast<int>(i), left, right);
    return 0;
}

void scale_whole(const RowSource& src, const Area& area, Size target, const Sink& sink) {
    const Graph graph({src.width, src.height}, area, target, shrinks(area, target));
    const Planes in(src.width, src.height, graph.in_rows(), sizeof(float));
    const Planes out(target.width, target.height, graph.out_rows(), graph.encodes() ? 1 : sizeof(float));
    WholeJob job{src, in, out, sink, graph.encodes()};
    const bool done = graph.run(in, out, whole_unpack, &job, whole_pack, &job);
    if (job.failure)
        std::rethrow_exception(job.failure);
    if (!done)
        cannot_scale();
}

// zimg's own choice, for a picture scaled both ways, of the direction it scales first: the
// one its measure of the work finds cheaper.
bool rows_first(const Area& area, Size dst) {
    const double x = dst.width / area.width, y = dst.height / area.height;
    return std::max(x, 1.0) * 2.0 + x * std::max(y, 1.0) < std::max(y, 1.0) + y * std::max(x, 1.0) * 2.0;
}

constexpr int kBandRows = 16;

// Scaling in one pass down the source, each row read once as it comes. zimg scales along
// the columns in a graph that goes down the rows once, and along the rows in separate graphs
// a band of rows at a time, before the column graph or after it: in the order that zimg takes
// in one graph for the whole, and with the same filters, so that the result is the same to
// the bit.
class OnePass {
  public:
    OnePass(const RowSource& src, const Area& area, Size target, const Sink& sink)
        : src_(src), area_(area), target_(target), sink_(sink), encode_(shrinks(area, target)),
          rows_first_(rows_first(area, target)), column_width_(rows_first_ ? target.width : src.width),
          columns_({column_width_, src.height},
                   {0, area.top, static_cast<double>(column_width_), area.height},
                   {column_width_, target.height}, encode_ && rows_first_),
          column_in_(column_width_, src.height, columns_.in_rows(), sizeof(float)),
          column_out_(column_width_, target.height, columns_.out_rows(),
                      columns_.encodes() ? 1 : sizeof(float)),
          band_in_(src.width, kBandRows, ZIMG_BUFFER_MAX, sizeof(float)),
          band_out_(target.width, kBandRows, ZIMG_BUFFER_MAX, encode_ && !rows_first_ ? 1 : sizeof(float)) {}

    // Scales; false, having read no row, where the column graph would go down the rows more
    // than once (in strips, where a row is too long for the processor's cache).
    bool run() {
        const bool done = columns_.run(column_in_, column_out_, unpack, this, pack, this);
        if (failure_)
            std::rethrow_exception(failure_);
        if (in_strips_)
            return false;
        if (!done)
            cannot_scale();
        return true;
    }

  private:
    // zimg asks for the column graph's input rows.
    static int unpack(void* user, unsigned i, unsigned left, unsigned right) {
        OnePass& self = *static_cast<OnePass*>(user);
        if (!self.started_) {
            self.started_ = true;
            self.in_strips_ = right - left < static_cast<unsigned>(self.column_width_);
            if (self.in_strips_)
                return 1;
        }
        return self.guarded([&] { self.take_row(i, left, right); });
    }
    // And hands over its output rows.
    static int pack(void* user, unsigned i, unsigned left, unsigned right) {
        OnePass& self = *static_cast<OnePass*>(user);
        if (self.rows_first_) {
            self.sink_.put(self.column_out_, self.columns_.encodes(), i, static_cast<int>(i), left, right);
            return 0;
        }
        return self.guarded([&] { self.give_row(i, left, right); });
    }
    static int pack_band(void* user, unsigned i, unsigned left, unsigned right) {
        const OnePass& self = *static_cast<const OnePass*>(user);
        self.sink_.put(self.band_out_, self.encode_, i, self.band_first_ + static_cast<int>(i), left, right);
        return 0;
    }
    template <typename Work> int guarded(Work work) {
        try {
            work();
            return 0;
        } catch (...) {
            failure_ = std::current_exception();
            return 1;
        }
    }

    // Row i of the column graph's input: the source row, or the source row scaled along its
    // length with its band.
    void take_row(unsigned i, unsigned left, unsigned right) {
        const int y = static_cast<int>(i);
        if (!rows_first_) {
            linearize(src_.row(y), src_.channels, column_in_, i, left, right);
            return;
        }
        if (y < band_first_)
            cannot_scale(); // rows come once, from the top down
        if (band_first_ < 0 || y >= band_first_ + kBandRows) {
            band_first_ = y - y % kBandRows;
            const int rows = std::min(kBandRows, src_.height - band_first_);
            for (int r = 0; r < rows; ++r)
                linearize(src_.row(band_first_ + r), src_.channels, band_in_, static_cast<unsigned>(r), 0,
                          static_cast<unsigned>(src_.width));
            if (!band_graph(rows).run(band_in_, band_out_, nullptr, nullptr, nullptr, nullptr))
                cannot_scale();
        }
        copy_row(band_out_, static_cast<unsigned>(y - band_first_), column_in_, i, left, right);
    }

    // Row i of the column graph's output: gathered into a band, scaled along its length
    // when the band is full.
    void give_row(unsigned i, unsigned left, unsigned right) {
        const int y = static_cast<int>(i), in_band = y % kBandRows;
        copy_row(column_out_, i, band_in_, static_cast<unsigned>(in_band), left, right);
        if (in_band == kBandRows - 1 || y == target_.height - 1) {
            band_first_ = y - in_band;
            if (!band_graph(in_band + 1).run(band_in_, band_out_, nullptr, nullptr, pack_band, this))
                cannot_scale();
        }
    }

    // The graph along the rows for a band of `rows` rows (all bands are full but the last).
    const Graph& band_graph(int rows) {
        std::unique_ptr<Graph>& graph = rows == kBandRows ? full_band_ : last_band_;
        if (!graph)
            graph = std::make_unique<Graph>(Size{src_.width, rows},
                                            Area{area_.left, 0, area_.width, double(rows)},
                                            Size{target_.width, rows}, encode_ && !rows_first_);
        return *graph;
    }

    const RowSource& src_;
    const Area area_;
    const Size target_;
    const Sink& sink_;
    const bool encode_, rows_first_;
    const int column_width_;
    const Graph columns_;
    const Planes column_in_, column_out_, band_in_, band_out_;
    std::unique_ptr<Graph> full_band_, last_band_;
    int band_first_ = -1; // the first row of the band last scaled along its rows
    bool started_ = false, in_strips_ = false;
    std::exception_ptr failure_ = nullptr; // what a row of the source threw
};

void scale(const RowSource& src, double s0, double t0, double s1, double t1, int orientation, View upright,
           bool once) {
    if (orientation < 1 || orientation > 8)
        orientation = kOrientationAsStored;
    if (src.channels < 3 || src.channels > 4 || upright.channels < 3 || upright.channels > 4 || !src.row ||
        src.width <= 0 || src.height <= 0 || upright.width <= 0 || upright.height <= 0 || !(s0 < s1) ||
        !(t0 < t1))
        cannot_scale();
    const Size target = upright_size(upright.width, upright.height, orientation);
    const Area area{s0 * src.width, t0 * src.height, (s1 - s0) * src.width, (t1 - t0) * src.height};
    const Sink sink(upright, orientation, target);
    try {
        if (!once)
            return scale_whole(src, area, target, sink);
        if (OnePass(src, area, target, sink).run())
            return;
        // zimg would go down the rows in strips: they are held whole, still read once.
        Raster whole(src.width, src.height, src.channels);
        for (int y = 0; y < src.height; ++y)
            std::memcpy(whole.view().row(y), src.row(y), static_cast<std::size_t>(whole.stride()));
        const ConstView view = std::as_const(whole).view();
        scale_whole({src.width, src.height, src.channels, [&view](int y) { return view.row(y); }}, area,
                    target, sink);
    } catch (const std::bad_alloc&) {
        cannot_scale();
    }
}

} // namespace

void resample_region_upright(const RowSource& src, double s0, double t0, double s1, double t1,
                             int orientation, View upright) {
    scale(src, s0, t0, s1, t1, orientation, upright, true);
}

void resample_region_upright(ConstView src, double s0, double t0, double s1, double t1, int orientation,
                             View upright) {
    if (src.stride <= 0)
        cannot_scale();
    const RowSource rows{src.width, src.height, src.channels, [&src](int y) { return src.row(y); }};
    scale(rows, s0, t0, s1, t1, orientation, upright, false);
}

void resample_region(ConstView src, double s0, double t0, double s1, double t1, View dst) {
    resample_region_upright(src, s0, t0, s1, t1, kOrientationAsStored, dst);
}

} // namespace velmaro::imaging
