// The GIF screen reader on hostile files: any bytes give no place or a place that holds
// the frame, and laying a frame of that size there never writes outside the canvas.
#include "imaging/gif_screen.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto place = velmaro::imaging::gif_first_frame_place({data, size});
    if (!place)
        return 0;
    if (place->left + place->frame_width > place->screen_width ||
        place->top + place->frame_height > place->screen_height)
        std::abort();
    // The program refuses large screens before it decodes; so does this check.
    if (std::int64_t{place->screen_width} * place->screen_height > (1 << 20))
        return 0;
    velmaro::imaging::Pixels frame{
        place->frame_width, place->frame_height,
        std::vector<std::uint8_t>(std::size_t{4} * place->frame_width * place->frame_height, 7)};
    const velmaro::imaging::Pixels laid = velmaro::imaging::place_gif_frame(std::move(frame), *place);
    if (laid.bgra.size() != std::size_t{4} * laid.width * laid.height)
        std::abort();
    return 0;
}
