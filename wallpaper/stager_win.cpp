#include "wallpaper/stager_win.h"

#include <windows.h>

#include "state/program_settings_win.h"
#include "wallpaper/monitors_win.h"
#include "wallpaper/wallpaper_win.h"

namespace velmaro::wallpaper {

std::vector<Monitor> per_monitor_screens() {
    if (!state::ProgramSettings().per_monitor())
        return {};
    std::vector<Monitor> monitors = display_monitors();
    if (monitors.size() < 2)
        monitors.clear();
    return monitors;
}

const DisplayMode& stored_display_mode() {
    return display_mode(state::ProgramSettings().display());
}

void apply_staged_wallpaper(const Stager& stager, const std::string& staged_path, const DisplayMode& mode,
                            const imaging::Picture* shown) {
    const std::map<std::string, std::string> remembered = stager.per_monitor()
                                                              ? state::ProgramSettings().monitor_pictures()
                                                              : std::map<std::string, std::string>{};
    // Fit and Fill see every monitor even with one picture for all; the other modes leave
    // the layout to the system.
    const std::vector<Monitor> monitors =
        !stager.per_monitor() && mode.fit ? display_monitors() : std::vector<Monitor>{};
    const StagedWallpaper staged = stager.stage(mode, primary_screen(), remembered, shown, monitors);
    write_staged_file(staged_path, staged.bytes);
    SetDesktopWallpaper(staged_path, *staged.mode);
    // Only what is shown is remembered: after a failed change the monitors keep theirs.
    if (staged.remembered)
        state::ProgramSettings().set_monitor_pictures(*staged.remembered);
}

void set_wallpaper_now(const std::string& picture) {
    Stager stager;
    stager.request(picture);
    apply_staged_wallpaper(stager, staged_wallpaper_path(), stored_display_mode());
}

} // namespace velmaro::wallpaper
