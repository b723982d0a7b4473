// jpeg_to_bmp [--in-memory] IN.jpg OUT.bmp: what the wallpaper converter does with a JPEG
// file (decode it straight into a 24-bit bitmap and write that), for measuring from
// outside. The file is read as it decodes, or first read whole with --in-memory.
#include "base/error.h"
#include "imaging/jpeg.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const bool in_memory = argc == 4 && std::string(argv[1]) == "--in-memory";
    if (argc != 3 && !in_memory) {
        std::fprintf(stderr, "usage: %s [--in-memory] IN.jpg OUT.bmp\n", argv[0]);
        return 2;
    }
    const char* in_path = argv[argc - 2];
    const char* out_path = argv[argc - 1];
    try {
        std::vector<std::uint8_t> bmp;
        if (in_memory) {
            std::ifstream in(in_path, std::ios::binary);
            const std::vector<std::uint8_t> jpeg{std::istreambuf_iterator<char>(in),
                                                 std::istreambuf_iterator<char>()};
            bmp = velmaro::imaging::jpeg_to_bmp24(jpeg);
        } else {
            bmp = velmaro::imaging::jpeg_file_to_bmp24(in_path);
        }
        std::ofstream out(out_path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        return out ? 0 : 1;
    } catch (const velmaro::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
