// The rotation of "/s", run without any window for the quiet switches: the same choice
// of folder and picture (in turn or at random, a picture per monitor when that option
// is on), the same stored position, but never the once-a-day rule: the user asked.
#pragma once

#include <string>

#include "wallpaper/history.h"

namespace velmaro::app {

// Chooses the next pictures and stores the next position; returns the change to apply.
// With `only_monitor` (a monitor's key) only that monitor gets a new picture when each
// monitor shows its own. Throws with the program's own text when there is no picture
// to show (no list file, no folder, a folder that has gone or holds no picture).
wallpaper::HistoryEntry choose_by_rotation(const std::string& only_monitor = {});

} // namespace velmaro::app
