// The Exif and TIFF orientation reader on hostile blocks: any bytes give a value from 1
// to 8, read as an Exif block and as a TIFF file, never a read outside them (ASan
// watches), never an exception.
#include "imaging/exif.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int o = velmaro::imaging::exif_orientation({data, size});
    const int t = velmaro::imaging::tiff_orientation({data, size});
    if (o < 1 || o > 8 || t < 1 || t > 8)
        std::abort();
    return 0;
}
