#include "wallpaper/monitors_win.h"

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

BOOL CALLBACK add_monitor(HMONITOR handle, HDC, LPRECT, LPARAM found) {
    Monitor m;
    if (describe(handle, m))
        reinterpret_cast<std::vector<Monitor>*>(found)->push_back(std::move(m));
    return TRUE;
}

} // namespace

std::vector<Monitor> display_monitors() {
    std::vector<Monitor> found;
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&found));
    return in_monitor_order(std::move(found));
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
