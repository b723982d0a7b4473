// The desktop's background colour (COLOR_BACKGROUND), which transparent pictures are laid
// over and Fit leaves around the picture, as the wallpaper will show it.
#pragma once

#include <cstdint>

namespace velmaro {

// 0x00RRGGBB, read from the system now.
std::uint32_t desktop_colour();

} // namespace velmaro
