// jpeg_to_bmp IN.jpg OUT.bmp: what the wallpaper converter does with a JPEG file (read it
// whole, decode it straight into a 24-bit bitmap, write that), for measuring from outside.
#include "base/error.h"
#include "imaging/jpeg.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.jpg OUT.bmp\n", argv[0]);
        return 2;
    }
    try {
        std::vector<std::uint8_t> jpeg;
        {
            std::ifstream in(argv[1], std::ios::binary);
            jpeg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        const std::vector<std::uint8_t> bmp = velmaro::imaging::jpeg_to_bmp24(jpeg);
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        return out ? 0 : 1;
    } catch (const velmaro::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
