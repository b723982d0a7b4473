#include "wallpaper/desktop_values.h"

namespace velmaro::wallpaper {

std::array<DesktopValue, 5> desktop_values(const std::string& wallpaper_path, const DisplayMode& mode) {
    return {{
        {"Wallpaper", wallpaper_path},
        {"TileWallpaper", mode.tile_wallpaper},
        {"WallpaperStyle", mode.wallpaper_style},
        {"WallpaperOriginX", "0"},
        {"WallpaperOriginY", "0"},
    }};
}

} // namespace velmaro::wallpaper
