#include "gui/widget_win.h"

namespace velmaro::gui {

namespace {
constexpr char kWidgetProp[] = "VelmaroWidget";
}

Widget::~Widget() {
    if (hwnd_) RemovePropA(hwnd_.get(), kWidgetProp);
}

void Widget::attach(HWND child) {
    hwnd_.reset(child);
    SetPropA(child, kWidgetProp, reinterpret_cast<HANDLE>(this));
}

Widget* Widget::from_hwnd(HWND hwnd) {
    return hwnd ? reinterpret_cast<Widget*>(GetPropA(hwnd, kWidgetProp)) : nullptr;
}

bool Widget::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && lp != 0) {
        if (Widget* w = from_hwnd(reinterpret_cast<HWND>(lp))) return w->on_command(HIWORD(wp));
    } else if (msg == WM_NOTIFY && lp != 0) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (Widget* w = from_hwnd(nm->hwndFrom)) return w->on_notify(*nm, result);
    }
    return false;
}

} // namespace velmaro::gui
