#include "wallpaper/display_mode.h"

#include <array>

namespace velmaro::wallpaper {

namespace {

using imaging::RectLayout;
using imaging::ScreenFit;

// "Strech" is spelled as users of the program have always seen it; keep it so.
// Fit and Fill are staged at the screen's own size and centred: the same on every system.
constexpr std::array<DisplayMode, 5> kModes{{
    {0, "Tile", "1", "0", std::nullopt, RectLayout::Tile},
    {1, "Center", "0", "0", std::nullopt, RectLayout::Center},
    {2, "Strech", "0", "2", std::nullopt, RectLayout::Stretch},
    {3, "Fit", "0", "0", ScreenFit::Fit, RectLayout::Center},
    {4, "Fill", "0", "0", ScreenFit::Fill, RectLayout::Center},
}};

// No mode chosen: the style written is the index itself, as it always was, and the
// picture is handed over as it is (laid out centred where the program composes).
constexpr DisplayMode kNoMode{-1, "", "0", "-1", std::nullopt, RectLayout::Center};

} // namespace

std::span<const DisplayMode> display_modes() {
    return kModes;
}

const DisplayMode& display_mode(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kModes.size())
        return kNoMode;
    return kModes[static_cast<std::size_t>(index)];
}

const DisplayMode& tiled_mode() {
    return kModes[0];
}

} // namespace velmaro::wallpaper
