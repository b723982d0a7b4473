// The five wallpaper values of the user's "Control Panel\Desktop" key for a staged file
// and a display index (0 "Tile", 1 "Center", 2 "Strech", 3 "Fit", 4 "Fill", -1 when
// none is chosen).
#pragma once

#include "imaging/screen_fit.h"

#include <array>
#include <optional>
#include <string>

namespace velmaro::wallpaper {

struct DesktopValue {
    const char* name;
    std::string text;
};

inline constexpr const char kDesktopKey[] = "Control Panel\\Desktop";

// In the order they are written: Wallpaper, TileWallpaper, WallpaperStyle,
// WallpaperOriginX, WallpaperOriginY.
// Fit and Fill are staged at the screen's own size and shown centred, as "Center" is.
std::array<DesktopValue, 5> desktop_values(const std::string& wallpaper_path, int display_index);

// The display indices whose staged file the program renders at the screen's size itself
// (3 "Fit", 4 "Fill"); none for the others, which the system scales.
inline constexpr int kDisplayFit = 3;
inline constexpr int kDisplayFill = 4;
std::optional<imaging::ScreenFit> screen_fit_for(int display_index);

} // namespace velmaro::wallpaper
