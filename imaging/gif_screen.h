// Where a GIF's first frame lies: viewers show it on the file's logical screen, at the
// offset its image descriptor gives, with the rest of the screen transparent. The system
// codec gives the frame alone, so the program lays it out itself.
//
// A small reader of our own: it walks the header, the global colour table and the
// extension blocks up to the first image descriptor, every read checked against the end.
#pragma once

#include "imaging/pixels.h"

#include <cstdint>
#include <optional>
#include <span>

namespace velmaro::imaging {

struct GifFramePlace {
    int screen_width = 0, screen_height = 0; // the canvas: the logical screen, grown to hold the frame
    int left = 0, top = 0;                   // the frame's corner on it
    int frame_width = 0, frame_height = 0;
};

// The first frame's place, or nullopt for a file that is no GIF or ends before its first
// image descriptor. Never throws.
std::optional<GifFramePlace> gif_first_frame_place(std::span<const std::uint8_t> file);

// The frame laid at its place on a transparent canvas of the screen's size; the frame as
// it is when it already fills the screen or is not of the place's frame size (a codec
// that has laid it out itself).
Pixels place_gif_frame(Pixels frame, const GifFramePlace& place);

} // namespace velmaro::imaging
