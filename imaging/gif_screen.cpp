#include "imaging/gif_screen.h"

#include <algorithm>
#include <cstring>

namespace velmaro::imaging {

namespace {

constexpr std::size_t kHeaderSize = 13; // signature, version, logical screen descriptor

int u16_at(std::span<const std::uint8_t> f, std::size_t at) {
    return f[at] | f[at + 1] << 8;
}

// The offset just past a chain of data sub-blocks starting at `at` (each a size byte
// and that many bytes, ended by a size of 0), or nullopt when the file ends first.
std::optional<std::size_t> skip_sub_blocks(std::span<const std::uint8_t> f, std::size_t at) {
    while (at < f.size()) {
        const std::size_t n = f[at];
        if (n == 0)
            return at + 1;
        at += 1 + n;
    }
    return std::nullopt;
}

// The offset of the first image descriptor's separator (0x2C), past the extensions.
std::optional<std::size_t> first_descriptor(std::span<const std::uint8_t> f) {
    std::size_t at = kHeaderSize;
    if (f[10] & 0x80)
        at += 3 * (std::size_t{2} << (f[10] & 7)); // the global colour table
    while (at < f.size()) {
        if (f[at] == 0x2C)
            return at;
        if (f[at] != 0x21 || f.size() - at < 2)
            return std::nullopt; // the trailer, or no block we know: no frame
        const auto next = skip_sub_blocks(f, at + 2);
        if (!next)
            return std::nullopt;
        at = *next;
    }
    return std::nullopt;
}

} // namespace

std::optional<GifFramePlace> gif_first_frame_place(std::span<const std::uint8_t> f) {
    if (f.size() < kHeaderSize ||
        (std::memcmp(f.data(), "GIF87a", 6) != 0 && std::memcmp(f.data(), "GIF89a", 6) != 0))
        return std::nullopt;
    const auto at = first_descriptor(f);
    if (!at || f.size() - *at < 10)
        return std::nullopt;
    GifFramePlace p;
    p.left = u16_at(f, *at + 1);
    p.top = u16_at(f, *at + 3);
    p.frame_width = u16_at(f, *at + 5);
    p.frame_height = u16_at(f, *at + 7);
    // A screen too small for the frame (some writers leave it 0 x 0) grows to hold it,
    // as browsers show such files.
    p.screen_width = std::max(u16_at(f, 6), p.left + p.frame_width);
    p.screen_height = std::max(u16_at(f, 8), p.top + p.frame_height);
    return p;
}

Pixels place_gif_frame(Pixels frame, const GifFramePlace& place) {
    if (frame.empty() || frame.width != place.frame_width || frame.height != place.frame_height ||
        (frame.width == place.screen_width && frame.height == place.screen_height))
        return frame;
    Pixels canvas{place.screen_width, place.screen_height,
                  std::vector<std::uint8_t>(std::size_t{4} * place.screen_width * place.screen_height)};
    const std::size_t row_bytes = std::size_t{4} * frame.width;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(canvas.row(place.top + y) + std::size_t{4} * place.left, frame.row(y), row_bytes);
    return canvas;
}

} // namespace velmaro::imaging
