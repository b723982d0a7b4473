// The one Exif tag the program needs: the orientation of a picture (IFD0, tag 0x0112), in
// a JPEG's Exif block or in a TIFF file, which has the same structure.
//
// A small reader of our own rather than a general Exif library or the codec's metadata
// query: it follows exactly one offset (the TIFF header's to IFD0), never the chain of
// further IFDs, so a file whose IFDs loop or point outside it cannot make it wander; every
// read is checked against the block's end.
#pragma once

#include <cstdint>
#include <span>

namespace velmaro::imaging {

// The orientation values 1 to 8 (1: as stored; 2: mirrored left to right; 3: turned half
// round; 4: mirrored top to bottom; 5: mirrored along the main diagonal; 6: turned a
// quarter clockwise to be upright; 7: mirrored along the other diagonal; 8: turned a
// quarter anticlockwise to be upright).
inline constexpr int kOrientationAsStored = 1;

// The orientation that an APP1 segment's payload (the bytes after its length, starting
// with "Exif\0\0") gives, in either byte order, stored as SHORT or LONG. Anything else, a
// missing tag, a value outside 1 to 8 and any malformed block give kOrientationAsStored;
// never throws.
int exif_orientation(std::span<const std::uint8_t> app1_payload);

// The same for a TIFF structure on its own: a TIFF file, or an Exif block after its
// signature.
int tiff_orientation(std::span<const std::uint8_t> tiff);

// Whether a file begins with a TIFF header ("II*\0" or "MM\0*").
bool is_tiff(std::span<const std::uint8_t> file);

// True for the orientations (5 to 8) whose upright picture has width and height swapped.
constexpr bool orientation_swaps_axes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace velmaro::imaging
