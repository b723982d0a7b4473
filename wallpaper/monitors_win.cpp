#include "wallpaper/monitors_win.h"

#include "base/error.h"

namespace velmaro::wallpaper {

namespace {

bool describe(HMONITOR handle, Monitor& out) {
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info))
        return false;
    const RECT& r = info.rcMonitor;
    out.device = info.szDevice;
    out.rect = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    out.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    return true;
}

struct Found {
    std::vector<Monitor> monitors;
    bool unreadable = false;
};

// A monitor left out would show the wrong part of the desktop's bitmap: the search stops
// and the caller reports it.
BOOL CALLBACK add_monitor(HMONITOR handle, HDC, LPRECT, LPARAM found) {
    auto& f = *reinterpret_cast<Found*>(found);
    Monitor m;
    if (!describe(handle, m)) {
        f.unreadable = true;
        return FALSE;
    }
    f.monitors.push_back(std::move(m));
    return TRUE;
}

} // namespace

std::vector<Monitor> display_monitors() {
    Found found;
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&found));
    if (found.unreadable)
        throw Error("Cannot read the monitors' information");
    return in_monitor_order(std::move(found.monitors));
}

std::string window_monitor_key(HWND window) {
    Monitor m;
    HMONITOR handle = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    return handle && describe(handle, m) ? monitor_key(m) : std::string();
}

std::string pointer_monitor_key() {
    POINT at{};
    Monitor m;
    HMONITOR handle = GetCursorPos(&at) ? MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST) : nullptr;
    return handle && describe(handle, m) ? monitor_key(m) : std::string();
}

} // namespace velmaro::wallpaper
