// The monitors as the system reports them, for a different picture on each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wallpaper/monitors.h"

namespace velmaro::wallpaper {

// Every monitor of the desktop, in the order they take pictures (in_monitor_order).
// Throws Error "Cannot read the monitors' information" when the system cannot describe one
// of them: a monitor left out would get another part of the bitmap.
std::vector<Monitor> display_monitors();

// The key (monitor_key) of the monitor that shows most of the window, or of the one
// nearest to it; "" when the system names none.
std::string window_monitor_key(HWND window);

// The key of the monitor under the mouse pointer (or the nearest one); "" when the
// system names none.
std::string pointer_monitor_key();

} // namespace velmaro::wallpaper
