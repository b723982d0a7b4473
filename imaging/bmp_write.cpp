#include "imaging/bmp_write.h"

#include "base/error.h"
#include "imaging/limits.h"

#include <cstring>

namespace velmaro::imaging {

namespace {
void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}
} // namespace

std::size_t bmp24_stride(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

void put_bmp24_header(std::uint8_t* out, int width, int height) {
    const std::size_t image = bmp24_stride(width) * static_cast<std::size_t>(height);
    std::memset(out, 0, 54);
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, static_cast<std::uint32_t>(54 + image));
    put32(out + 10, 54);
    put32(out + 14, 40);
    put32(out + 18, static_cast<std::uint32_t>(width));
    put32(out + 22, static_cast<std::uint32_t>(height)); // positive: bottom-up rows
    put16(out + 26, 1);
    put16(out + 28, 24);
    put32(out + 34, static_cast<std::uint32_t>(image));
}

std::vector<std::uint8_t> write_bmp24(const Pixels& pixels) {
    if (pixels.empty() || static_cast<std::int64_t>(pixels.width) * pixels.height > kMaxPixels ||
        pixels.bgra.size() != static_cast<std::size_t>(pixels.width) * pixels.height * 4)
        throw InvalidGraphic("Invalid image");
    const std::size_t stride = bmp24_stride(pixels.width);
    std::vector<std::uint8_t> out(54 + stride * static_cast<std::size_t>(pixels.height));
    put_bmp24_header(out.data(), pixels.width, pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* src = pixels.row(y);
        std::uint8_t* dst = out.data() + 54 + stride * static_cast<std::size_t>(pixels.height - 1 - y);
        for (int x = 0; x < pixels.width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    return out;
}

} // namespace velmaro::imaging
