#include "app/quiet_stage_win.h"

#include <map>

#include "base/error.h"
#include "state/program_settings_win.h"
#include "wallpaper/converter.h"
#include "wallpaper/desktop_values.h"
#include "wallpaper/monitors_win.h"
#include "wallpaper/wallpaper_win.h"

namespace velmaro::app {

namespace {

using wallpaper::HistoryEntry;

std::vector<std::uint8_t> one_picture_bytes(const std::string& path, int display) {
    wallpaper::ImageConverter converter;
    const int id = converter.load(path);
    const imaging::Screen screen = wallpaper::primary_screen();
    const auto fit = wallpaper::screen_fit_for(display);
    return fit ? converter.screen_bmp_bytes(id, *fit, screen) : converter.bmp_bytes(id, screen.background);
}

HistoryEntry stage_monitors(const std::vector<wallpaper::Monitor>& monitors, const HistoryEntry& wanted,
                            const std::string& staged) {
    std::map<std::string, std::string> chosen;
    for (const auto& p : wanted.pictures)
        chosen[p.monitor] = p.path;
    state::ProgramSettings settings;
    std::map<std::string, std::string> kept;
    const auto pictures =
        wallpaper::pictures_after_change(monitors, settings.monitor_pictures(), chosen, kept);
    const std::uint32_t background = wallpaper::primary_screen().background;
    auto render = [&](std::size_t i) -> wallpaper::MonitorPicture {
        if (pictures[i].empty())
            return {};
        try {
            wallpaper::ImageConverter converter;
            const int id = converter.load(pictures[i]);
            return wallpaper::render_for_monitor(converter, id, wanted.display, monitors[i].rect.width,
                                                 monitors[i].rect.height, background);
        } catch (const Error&) {
            if (chosen.count(wallpaper::monitor_key(monitors[i])))
                throw; // the picture asked for; one remembered that has gone leaves its monitor plain
            return {};
        }
    };
    wallpaper::write_staged_file(staged, wallpaper::compose_monitors(monitors, render, background));
    settings.set_monitor_pictures(kept);
    settings.close();
    wallpaper::SetDesktopWallpaper(staged, 0);
    HistoryEntry shown{wanted.display, {}};
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (!pictures[i].empty())
            shown.pictures.push_back({wallpaper::monitor_key(monitors[i]), pictures[i]});
    return shown;
}

} // namespace

HistoryEntry apply_change(const HistoryEntry& wanted) {
    const std::string staged = wallpaper::staged_wallpaper_path();
    if (!wanted.whole_desktop()) {
        const auto monitors = wallpaper::display_monitors();
        if (monitors.size() >= 2)
            return stage_monitors(monitors, wanted, staged);
    }
    if (wanted.pictures.empty())
        throw Error("No picture to show");
    const std::string& path = wanted.pictures.front().path;
    wallpaper::write_staged_file(staged, one_picture_bytes(path, wanted.display));
    wallpaper::SetDesktopWallpaper(staged, wanted.display);
    return {wanted.display, {{"", path}}};
}

} // namespace velmaro::app
