// The display modes: one row each in one table, from which the Options list takes its
// captions, the settings their stored "Display" index, the desktop its values, and the
// stager how the picture is made. A new mode is a row here (and, if the program renders
// it, a member of imaging::ScreenFit with its placement in imaging/screen_fit.cpp).
#pragma once

#include "imaging/rect_layout.h"
#include "imaging/screen_fit.h"

#include <optional>
#include <span>

namespace velmaro::wallpaper {

struct DisplayMode {
    int index;                   // the stored "Display" value and the row of the Options list
    const char* caption;         // as the Options list shows it
    const char* tile_wallpaper;  // the desktop's TileWallpaper
    const char* wallpaper_style; // the desktop's WallpaperStyle
    // How the picture is made. With `fit`, the program renders it at each screen's own
    // size and the system shows that centred. Without, one screen gets the picture as it
    // is and the system lays it out; a desktop the program composes of several monitors
    // gets it laid out by `layout` in each monitor's rectangle, as the system would.
    std::optional<imaging::ScreenFit> fit;
    imaging::RectLayout layout;
};

// The modes of the Options list, in its order (row i has index i).
std::span<const DisplayMode> display_modes();

// The mode of a stored index; any index that names no row (-1 when the list's text was
// typed over, or a value from elsewhere) is the "no mode chosen" row, which the list
// does not show.
const DisplayMode& display_mode(int index);

// The mode whose desktop values tile a staged file from the primary monitor's corner, as
// a desktop composed of several monitors is shown.
const DisplayMode& tiled_mode();

} // namespace velmaro::wallpaper
