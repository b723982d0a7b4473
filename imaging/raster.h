// Rows of 8-bit pixels with 3 (B, G, R) or 4 (B, G, R, A) channels, as the orientation,
// the resampler and the screen-sized wallpaper work on them. A view may run bottom-up
// (a negative stride from its top row), which is how a bitmap file stores its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmaro::imaging {

struct ConstView {
    const std::uint8_t* data = nullptr; // the top row
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0; // bytes from one row to the next one down
    int channels = 0;
    const std::uint8_t* row(int y) const { return data + stride * y; }
};

struct View {
    std::uint8_t* data = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    int channels = 0;
    std::uint8_t* row(int y) const { return data + stride * y; }
    operator ConstView() const { return {data, width, height, stride, channels}; }
};

// A picture held in memory: top-down rows without padding.
struct Raster {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> data;

    Raster() = default;
    Raster(int w, int h, int c)
        : width(w), height(h), channels(c), data(static_cast<std::size_t>(w) * h * c) {}
    std::ptrdiff_t stride() const { return static_cast<std::ptrdiff_t>(width) * channels; }
    View view() { return {data.data(), width, height, stride(), channels}; }
    ConstView view() const { return {data.data(), width, height, stride(), channels}; }
};

} // namespace velmaro::imaging
