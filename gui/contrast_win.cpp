#include "gui/contrast_win.h"

#include <commctrl.h>

namespace velmaro::gui {

namespace {

constexpr UINT_PTR kSubclassId = 0x48434F4E; // "HCON"
std::optional<bool> g_override;

LRESULT CALLBACK redraw_on_change(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &redraw_on_change, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace

bool high_contrast() {
    if (g_override)
        return *g_override;
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void override_high_contrast(std::optional<bool> on) {
    g_override = on;
}

void follow_system_colors(HWND top_level) {
    SetWindowSubclass(top_level, &redraw_on_change, kSubclassId, 0);
}

} // namespace velmaro::gui
