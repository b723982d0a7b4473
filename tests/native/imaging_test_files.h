// Reading the imaging tests' pictures and their reference decodes (binary PPM files that
// tests/data/make-imaging.sh writes with ImageMagick or djpeg).
#pragma once

#include "imaging/pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace velmaro::imaging::testing {

inline std::string data_path(const std::string& name) {
    return std::string(VELMARO_TESTDATA_DIR) + "/imaging/" + name;
}

inline std::vector<std::uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> data_file(const std::string& name) {
    return read_bytes(data_path(name));
}

// An RGB picture as a reference decoder wrote it.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

inline RgbPicture read_ppm(const std::string& name) {
    const std::vector<std::uint8_t> bytes = data_file(name);
    RgbPicture p;
    std::size_t at = 0;
    auto skip_space = [&] {
        while (at < bytes.size() &&
               (bytes[at] == ' ' || bytes[at] == '\n' || bytes[at] == '\r' || bytes[at] == '\t'))
            ++at;
    };
    auto number = [&] {
        skip_space();
        int n = 0;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9')
            n = n * 10 + (bytes[at++] - '0');
        return n;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') {
        ADD_FAILURE() << name << " is no binary PPM";
        return p;
    }
    at = 2;
    p.width = number();
    p.height = number();
    const int maxval = number();
    ++at; // the single blank after the header
    EXPECT_EQ(maxval, 255) << name;
    const std::size_t size = static_cast<std::size_t>(p.width) * p.height * 3;
    EXPECT_EQ(bytes.size() - at, size) << name;
    if (bytes.size() - at >= size)
        p.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return p;
}

// Largest difference of one channel between our BGRA decode and a reference, or -1 when
// the sizes differ; also checks that every alpha is 255.
inline int max_channel_difference(const Pixels& ours, const RgbPicture& ref) {
    if (ours.width != ref.width || ours.height != ref.height ||
        ours.bgra.size() != static_cast<std::size_t>(ours.width) * ours.height * 4 ||
        ref.rgb.size() != static_cast<std::size_t>(ref.width) * ref.height * 3)
        return -1;
    int worst = 0;
    for (std::size_t i = 0, j = 0; j < ref.rgb.size(); i += 4, j += 3) {
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int{ours.bgra[i + 2 - c]} - int{ref.rgb[j + c]}));
        if (ours.bgra[i + 3] != 255)
            return 256;
    }
    return worst;
}

} // namespace velmaro::imaging::testing
