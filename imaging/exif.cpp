#include "imaging/exif.h"

#include <cstring>

namespace velmaro::imaging {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::size_t kExifSignatureSize = 6; // "Exif\0\0"

// Reads 16- and 32-bit numbers of the TIFF block in its own byte order; every read past
// the end reports failure instead.
class TiffReader {
  public:
    TiffReader(std::span<const std::uint8_t> tiff, bool big_endian) : tiff_(tiff), big_(big_endian) {}

    bool u16(std::size_t at, std::uint16_t& out) const {
        if (at > tiff_.size() || tiff_.size() - at < 2)
            return false;
        const unsigned a = tiff_[at], b = tiff_[at + 1];
        out = static_cast<std::uint16_t>(big_ ? (a << 8 | b) : (b << 8 | a));
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& out) const {
        std::uint16_t hi = 0, lo = 0;
        if (!u16(at, big_ ? hi : lo) || !u16(at + 2, big_ ? lo : hi))
            return false;
        out = std::uint32_t{hi} << 16 | lo;
        return true;
    }

  private:
    std::span<const std::uint8_t> tiff_;
    bool big_;
};

} // namespace

int exif_orientation(std::span<const std::uint8_t> payload) {
    if (payload.size() < kExifSignatureSize ||
        std::memcmp(payload.data(), "Exif\0\0", kExifSignatureSize) != 0)
        return kOrientationAsStored;
    return tiff_orientation(payload.subspan(kExifSignatureSize));
}

bool is_tiff(std::span<const std::uint8_t> file) {
    static constexpr std::uint8_t little[] = {'I', 'I', 42, 0}, big[] = {'M', 'M', 0, 42};
    return file.size() >= 4 &&
           (std::memcmp(file.data(), little, 4) == 0 || std::memcmp(file.data(), big, 4) == 0);
}

int tiff_orientation(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8)
        return kOrientationAsStored;
    bool big = false;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        big = true;
    else if (!(tiff[0] == 'I' && tiff[1] == 'I'))
        return kOrientationAsStored;
    const TiffReader r(tiff, big);
    std::uint16_t magic = 0, count = 0;
    std::uint32_t ifd0 = 0;
    if (!r.u16(2, magic) || magic != 42 || !r.u32(4, ifd0) || !r.u16(ifd0, count))
        return kOrientationAsStored;
    // A directory whose entries run past the block is corrupt as a whole: none of them is
    // trusted. Its next-directory link is never followed, so a block that ends right
    // after the entries, as some writers leave IFD0, is read all the same.
    if (std::size_t{ifd0} + 2 + std::size_t{count} * 12 > tiff.size())
        return kOrientationAsStored;
    // Twelve bytes an entry: tag, type, count (32 bits), value or offset (32 bits). A SHORT
    // value sits in the first two bytes of the value field, a LONG fills it.
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t{ifd0} + 2 + std::size_t{i} * 12;
        std::uint16_t tag = 0, type = 0, short_value = 0;
        std::uint32_t n = 0, long_value = 0;
        if (!r.u16(entry, tag) || !r.u16(entry + 2, type) || !r.u32(entry + 4, n) ||
            !r.u16(entry + 8, short_value) || !r.u32(entry + 8, long_value))
            return kOrientationAsStored;
        if (tag != kOrientationTag)
            continue;
        const std::uint32_t value = type == kTypeShort ? short_value : type == kTypeLong ? long_value : 0;
        if (n != 1 || value < 1 || value > 8)
            return kOrientationAsStored;
        return static_cast<int>(value);
    }
    return kOrientationAsStored;
}

} // namespace velmaro::imaging
