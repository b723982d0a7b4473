#include "gui/hint_win.h"

#include <commctrl.h>

#include "base/error.h"

namespace velmaro::gui {

namespace {
// The smallest TOOLINFO every version of the common controls accepts.
const UINT kToolInfoSize = TTTOOLINFOA_V2_SIZE;

TOOLINFOA tool(HWND host, UINT_PTR id, UINT flags) {
    TOOLINFOA ti{};
    ti.cbSize = kToolInfoSize;
    ti.uFlags = flags;
    ti.hwnd = host;
    ti.uId = id;
    return ti;
}
} // namespace

Hints::Hints(HWND form) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tip_.reset(CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!tip_)
        throw Error("Cannot create the hint window");
    SendMessageA(tip_.get(), TTM_SETMAXTIPWIDTH, 0, 600);
}

void Hints::set_window_hint(HWND child, const std::string& text) {
    put(GetParent(child), reinterpret_cast<UINT_PTR>(child), TTF_IDISHWND | TTF_SUBCLASS, RECT{}, text);
}

void Hints::set_area_hint(HWND host, UINT_PTR id, const RECT& area, const std::string& text) {
    put(host, id, TTF_SUBCLASS, area, text);
}

void Hints::remove(HWND host, UINT_PTR id) {
    TOOLINFOA ti = tool(host, id, 0);
    SendMessageA(tip_.get(), TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void Hints::put(HWND host, UINT_PTR id, UINT flags, const RECT& area, const std::string& text) {
    TOOLINFOA ti = tool(host, id, flags);
    bool known = SendMessageA(tip_.get(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
    if (text.empty()) {
        if (known)
            remove(host, id);
        return;
    }
    ti = tool(host, id, flags);
    ti.rect = area;
    ti.lpszText = const_cast<char*>(text.c_str());
    if (known) {
        SendMessageA(tip_.get(), TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
        SendMessageA(tip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageA(tip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

std::string Hints::text_of(HWND host, UINT_PTR id, bool is_window) const {
    char buf[1024] = "";
    TOOLINFOA ti = tool(host, id, is_window ? TTF_IDISHWND : 0);
    if (!SendMessageA(tip_.get(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
        return {};
    ti.lpszText = buf;
    SendMessageA(tip_.get(), TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    return buf;
}

} // namespace velmaro::gui
