#include "gui/dpi_win.h"

#include "base/handles_win.h"

namespace velmaro::gui {

namespace {

// The per-monitor functions came with Windows 10 (1607); on older systems the program
// runs with the system's DPI.
template <typename Fn> Fn user32_function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

} // namespace

int scale_px(int value, int dpi) {
    return dpi == kDesignDpi ? value : MulDiv(value, dpi, kDesignDpi);
}

RECT scale_rect(int x, int y, int w, int h, int dpi) {
    int left = scale_px(x, dpi), top = scale_px(y, dpi);
    return RECT{left, top, left + scale_px(w, dpi), top + scale_px(h, dpi)};
}

int system_dpi() {
    static const int dpi = [] {
        WindowDc screen(nullptr);
        int v = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
        return v > 0 ? v : kDesignDpi;
    }();
    return dpi;
}

int window_dpi(HWND hwnd) {
    static const auto get = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    if (get && hwnd)
        if (UINT dpi = get(hwnd); dpi > 0)
            return static_cast<int>(dpi);
    return system_dpi();
}

void adjust_window_rect(RECT& r, DWORD style, bool menu, DWORD ex_style, int dpi) {
    static const auto adjust = user32_function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust && adjust(&r, style, menu ? TRUE : FALSE, ex_style, static_cast<UINT>(dpi)))
        return;
    AdjustWindowRectEx(&r, style, menu ? TRUE : FALSE, ex_style);
}

} // namespace velmaro::gui
