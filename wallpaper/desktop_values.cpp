#include "wallpaper/desktop_values.h"

#include "state/number_text.h"

namespace velmaro::wallpaper {

std::array<DesktopValue, 5> desktop_values(const std::string& wallpaper_path, int display_index) {
    if (screen_fit_for(display_index))
        display_index = 1; // a screen-sized picture, centred: the same on every system
    const char* tile = display_index == 0 ? "1" : "0";
    std::string style =
        (display_index == 0 || display_index == 1) ? "0" : state::format_number(display_index);
    return {{
        {"Wallpaper", wallpaper_path},
        {"TileWallpaper", tile},
        {"WallpaperStyle", style},
        {"WallpaperOriginX", "0"},
        {"WallpaperOriginY", "0"},
    }};
}

std::optional<imaging::ScreenFit> screen_fit_for(int display_index) {
    if (display_index == kDisplayFit)
        return imaging::ScreenFit::Fit;
    if (display_index == kDisplayFill)
        return imaging::ScreenFit::Fill;
    return std::nullopt;
}

} // namespace velmaro::wallpaper
