// The five wallpaper values of the user's "Control Panel\Desktop" key for a staged file
// and a display index (0 "Tile", 1 "Center", 2 "Strech", -1 when none is chosen).
#pragma once

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
std::array<DesktopValue, 5> desktop_values(const std::string& wallpaper_path, int display_index);

} // namespace velmaro::wallpaper
