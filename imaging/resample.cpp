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
#include <exception>
#include <memory>
#include <new>
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

// Scaling linear-light planes. Where the picture shrinks both ways, zimg scales before it
// converts (this version builds its graphs so), and then also turns the result into 8-bit
// sRGB itself; otherwise the result stays linear light, for the table above.
struct ResizeGraph {
    std::unique_ptr<zimg_filter_graph, decltype(&zimg_filter_graph_free)> graph{nullptr,
                                                                                &zimg_filter_graph_free};
    bool encodes = false;
};

ResizeGraph resize_graph(const RowSource& src, double s0, double t0, double s1, double t1, Size dst) {
    zimg_image_format in = rgb_format(src.width, src.height);
    in.active_region.left = s0 * src.width;
    in.active_region.top = t0 * src.height;
    in.active_region.width = (s1 - s0) * src.width;
    in.active_region.height = (t1 - t0) * src.height;
    zimg_image_format out = rgb_format(dst.width, dst.height);
    ResizeGraph result;
    result.encodes = dst.width <= in.active_region.width && dst.height <= in.active_region.height;
    if (result.encodes) {
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
    result.graph.reset(zimg_filter_graph_build(&in, &out, &params));
    if (!result.graph)
        cannot_scale();
    return result;
}

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

struct Job {
    const RowSource& src;
    UprightRows dst;
    int dst_channels;
    bool encoded; // the scaled planes hold 8-bit sRGB already
    const SrgbTables& tables;
    const Planes& in;
    const Planes& out;
    std::exception_ptr failure = nullptr; // what a row of the source threw
};

// zimg asks for source rows as it goes (a row may be asked for again): 8-bit B, G, R
// into linear-light planes.
int unpack(void* user, unsigned i, unsigned left, unsigned right) {
    Job& job = *static_cast<Job*>(user);
    const int ch = job.src.channels;
    const std::uint8_t* s = nullptr;
    try {
        s = job.src.row(static_cast<int>(i)) + static_cast<std::ptrdiff_t>(left) * ch;
    } catch (...) {
        job.failure = std::current_exception();
        return 1;
    }
    float *r = job.in.row<float>(0, i), *g = job.in.row<float>(1, i), *b = job.in.row<float>(2, i);
    const float* lin = job.tables.to_linear.data();
    for (unsigned x = left; x < right; ++x, s += ch) {
        b[x] = lin[s[0]];
        g[x] = lin[s[1]];
        r[x] = lin[s[2]];
    }
    return 0;
}

// And hands over scaled rows: planes to 8-bit B, G, R (A opaque), turned upright on the
// way.
template <typename Sample, typename Encode>
void pack_row(const Job& job, unsigned i, unsigned left, unsigned right, Encode encode) {
    const std::ptrdiff_t step = job.dst.step();
    std::uint8_t* d = job.dst.first(static_cast<int>(i)) + static_cast<std::ptrdiff_t>(left) * step;
    const Sample *r = job.out.row<Sample>(0, i), *g = job.out.row<Sample>(1, i),
                 *b = job.out.row<Sample>(2, i);
    const bool alpha = job.dst_channels == 4;
    for (unsigned x = left; x < right; ++x, d += step) {
        d[0] = encode(b[x]);
        d[1] = encode(g[x]);
        d[2] = encode(r[x]);
        if (alpha)
            d[3] = 255;
    }
}

int pack(void* user, unsigned i, unsigned left, unsigned right) {
    const Job& job = *static_cast<const Job*>(user);
    if (job.encoded) {
        pack_row<std::uint8_t>(job, i, left, right, [](std::uint8_t v) { return v; });
    } else {
        const std::uint8_t* to_srgb = job.tables.to_srgb.data();
        pack_row<float>(job, i, left, right, [to_srgb](float v) { return encode(to_srgb, v); });
    }
    return 0;
}

} // namespace

void resample_region_upright(const RowSource& src, double s0, double t0, double s1, double t1,
                             int orientation, View upright) {
    if (orientation < 1 || orientation > 8)
        orientation = kOrientationAsStored;
    if (src.channels < 3 || src.channels > 4 || upright.channels < 3 || upright.channels > 4 || !src.row ||
        src.width <= 0 || src.height <= 0 || upright.width <= 0 || upright.height <= 0 || !(s0 < s1) ||
        !(t0 < t1))
        cannot_scale();
    const Size target = upright_size(upright.width, upright.height, orientation);
    const ResizeGraph resize = resize_graph(src, s0, t0, s1, t1, target);
    zimg_filter_graph* const graph = resize.graph.get();
    std::size_t tmp_size = 0;
    unsigned in_rows = 0, out_rows = 0;
    if (zimg_filter_graph_get_tmp_size(graph, &tmp_size) != ZIMG_ERROR_SUCCESS ||
        zimg_filter_graph_get_input_buffering(graph, &in_rows) != ZIMG_ERROR_SUCCESS ||
        zimg_filter_graph_get_output_buffering(graph, &out_rows) != ZIMG_ERROR_SUCCESS)
        cannot_scale();
    bool done = false;
    try {
        const Planes in(src.width, src.height, in_rows, sizeof(float));
        const Planes out(target.width, target.height, out_rows, resize.encodes ? 1 : sizeof(float));
        const AlignedBlock tmp(tmp_size);
        Job job{src,
                UprightRows(upright, orientation, target.width, target.height),
                upright.channels,
                resize.encodes,
                srgb(),
                in,
                out};
        const auto src_buffer = in.buffer<zimg_image_buffer_const>();
        const auto dst_buffer = out.buffer<zimg_image_buffer>();
        done = zimg_filter_graph_process(graph, &src_buffer, &dst_buffer, tmp.data(), unpack, &job, pack,
                                         &job) == ZIMG_ERROR_SUCCESS;
        if (job.failure)
            std::rethrow_exception(job.failure);
    } catch (const std::bad_alloc&) {
    }
    if (!done)
        cannot_scale();
}

void resample_region_upright(ConstView src, double s0, double t0, double s1, double t1, int orientation,
                             View upright) {
    if (src.stride <= 0)
        cannot_scale();
    const RowSource rows{src.width, src.height, src.channels, [&src](int y) { return src.row(y); }};
    resample_region_upright(rows, s0, t0, s1, t1, orientation, upright);
}

void resample_region(ConstView src, double s0, double t0, double s1, double t1, View dst) {
    resample_region_upright(src, s0, t0, s1, t1, kOrientationAsStored, dst);
}

} // namespace velmaro::imaging
