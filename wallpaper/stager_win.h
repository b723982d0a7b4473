// The stager's Windows side (see stager.h): the desktop as the system reports it now,
// the stored display mode, and applying a staged wallpaper. No window is needed: a
// quiet run sets a picture with set_wallpaper_now alone.
#pragma once

#include <string>
#include <vector>

#include "wallpaper/monitors.h"
#include "wallpaper/stager.h"

namespace velmaro::wallpaper {

// The monitors that each show a picture of their own: the option "A different picture
// on each monitor" on and two or more monitors; none when one picture covers the desktop.
std::vector<Monitor> per_monitor_screens();

// The display mode stored by the Options dialog ("Display").
const DisplayMode& stored_display_mode();

// The tick: stages the latest request in `mode` for the primary screen and the desktop
// colour as they are now (with the remembered pictures of the monitors, the monitors
// for Fit and Fill, and `shown` as Stager::stage takes it), writes the file at
// `staged_path` (see staged_wallpaper_path), sets the desktop values and then remembers
// the monitors' pictures.
// Throws with the program's own messages.
void apply_staged_wallpaper(const Stager& stager, const std::string& staged_path, const DisplayMode& mode,
                            const imaging::Picture* shown = nullptr);

// Both steps at once, for one picture over the whole desktop in the stored display mode
// and without a window: reads `picture`, stages it where staged_wallpaper_path says and
// makes it the wallpaper. Throws like the above.
void set_wallpaper_now(const std::string& picture);

} // namespace velmaro::wallpaper
