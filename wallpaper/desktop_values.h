// The five wallpaper values of the user's "Control Panel\Desktop" key for a staged file
// shown in a display mode (see display_mode.h).
#pragma once

#include "wallpaper/display_mode.h"

#include <array>
#include <string>

namespace velmaro::wallpaper {

struct DesktopValue {
    const char* name;
    std::string text;
};

inline constexpr const char kDesktopKey[] = "Control Panel\\Desktop";

// In the order they are written: Wallpaper, TileWallpaper, WallpaperStyle,
// WallpaperOriginX, WallpaperOriginY.
std::array<DesktopValue, 5> desktop_values(const std::string& wallpaper_path, const DisplayMode& mode);

} // namespace velmaro::wallpaper
