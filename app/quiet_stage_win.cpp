#include "app/quiet_stage_win.h"

#include "base/error.h"
#include "wallpaper/display_mode.h"
#include "wallpaper/history_file_win.h"
#include "wallpaper/monitors_win.h"
#include "wallpaper/stager_win.h"
#include "wallpaper/wallpaper_win.h"

namespace velmaro::app {

wallpaper::HistoryEntry apply_change(const wallpaper::HistoryEntry& wanted) {
    if (wanted.pictures.empty())
        throw Error("No picture to show");
    // Pictures for monitors go to those monitors while there are several; on one monitor
    // the first of them covers the desktop.
    std::optional<wallpaper::MonitorChange> change;
    if (!wanted.whole_desktop()) {
        if (auto monitors = wallpaper::display_monitors(); monitors.size() >= 2) {
            change = wallpaper::MonitorChange{std::move(monitors), {}};
            for (const auto& p : wanted.pictures)
                change->chosen[p.monitor] = p.path;
        }
    }
    const std::string& first = wanted.pictures.front().path;
    wallpaper::Stager stager;
    stager.request(first, std::move(change));
    wallpaper::apply_staged_wallpaper(stager, wallpaper::staged_wallpaper_path(),
                                      wallpaper::display_mode(wanted.display));
    return wallpaper::shown_after(stager, first, wanted.display);
}

} // namespace velmaro::app
