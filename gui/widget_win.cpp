#include "gui/widget_win.h"

#include <commctrl.h>

#include <atomic>
#include <vector>

#include "base/error.h"
#include "gui/color_win.h"
#include "gui/container_win.h"
#include "gui/form_win.h"
#include "gui/hint_win.h"

namespace velmaro::gui {

namespace {
constexpr char kWidgetProp[] = "VelmaroWidget";
} // namespace

int next_control_id() {
    static std::atomic<int> next{100};
    return next++;
}

Widget::~Widget() {
    if (hwnd_)
        RemovePropA(hwnd_.get(), kWidgetProp);
}

void Widget::attach(HWND child) {
    hwnd_.reset(child);
    SetPropA(child, kWidgetProp, reinterpret_cast<HANDLE>(this));
    if (!parent_)
        parent_ = Container::from_hwnd(GetParent(child));
}

HWND Widget::create(Container& parent, const char* window_class, const std::string& text, DWORD style,
                    DWORD ex_style, int x, int y, int w, int h, const std::optional<FontSpec>& font) {
    parent_ = &parent;
    designed_ = true;
    design_ = RECT{x, y, w, h};
    const RECT at = scale_rect(x, y, w, h, parent.dpi());
    HWND child = CreateWindowExA(ex_style, window_class, text.c_str(), style | WS_CHILD | WS_VISIBLE, at.left,
                                 at.top, at.right - at.left, at.bottom - at.top, parent.client_hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(next_control_id())),
                                 GetModuleHandleA(nullptr), nullptr);
    if (!child)
        throw Error(std::string("Cannot create a control of class ") + window_class);
    attach(child);
    set_font(font ? *font : parent.font());
    return child;
}

Widget* Widget::from_hwnd(HWND hwnd) {
    return hwnd ? reinterpret_cast<Widget*>(GetPropA(hwnd, kWidgetProp)) : nullptr;
}

bool Widget::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (lp == 0)
        return false;
    switch (msg) {
    case WM_COMMAND:
        if (Widget* w = from_hwnd(reinterpret_cast<HWND>(lp)))
            return w->on_command(HIWORD(wp));
        return false;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (Widget* w = from_hwnd(nm->hwndFrom))
            return w->on_notify(*nm, result);
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (Widget* w = from_hwnd(reinterpret_cast<HWND>(lp)))
            return w->on_ctl_color(msg, reinterpret_cast<HDC>(wp), result);
        return false;
    default:
        return false;
    }
}

bool Widget::on_ctl_color(UINT msg, HDC dc, LRESULT& brush) {
    SetTextColor(dc, to_colorref(font_.color));
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        // Statics and check boxes sit on the container's background.
        TColor back = parent_ ? parent_->color() : clBtnFace;
        SetBkColor(dc, to_colorref(back));
        brush = reinterpret_cast<LRESULT>(solid_brush(back));
        return true;
    }
    // Edit fields and lists keep the system's window colour.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return true;
}

void Widget::set_font(const FontSpec& font) {
    font_ = font;
    if (hwnd_) {
        SendMessageA(hwnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(cached_font(font, dpi())), TRUE);
        InvalidateRect(hwnd_.get(), nullptr, TRUE);
        on_font_changed();
    }
}

void Widget::set_hint(std::string text) {
    hint_ = std::move(text);
    update_tooltip();
}

void Widget::set_show_hint(bool on) {
    show_hint_ = on;
    update_tooltip();
}

void Widget::update_tooltip() {
    if (!hwnd_)
        return;
    Form* form = Form::from_hwnd(GetAncestor(hwnd_.get(), GA_ROOT));
    if (!form)
        return;
    form->hints().set_window_hint(hwnd_.get(), show_hint_ ? hint_ : std::string());
}

std::string window_text(HWND hwnd) {
    if (!hwnd)
        return {};
    int n = GetWindowTextLengthA(hwnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

std::string list_item_text(HWND list, int index, bool combo) {
    const UINT count_msg = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT length_msg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT text_msg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    if (index < 0 || index >= static_cast<int>(SendMessageA(list, count_msg, 0, 0)))
        throw ListIndexError(index);
    const LRESULT len = SendMessageA(list, length_msg, static_cast<WPARAM>(index), 0);
    std::string s(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
    const LRESULT got =
        SendMessageA(list, text_msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(got > 0 ? got : 0)); // LB_ERR and CB_ERR are negative
    return s;
}

std::string Widget::text() const {
    return window_text(hwnd_.get());
}

void Widget::set_text(const std::string& text) {
    if (hwnd_)
        SetWindowTextA(hwnd_.get(), text.c_str());
}

int Widget::dpi() const {
    return parent_ ? parent_->dpi() : window_dpi(hwnd());
}

int Widget::scaled(int design) const {
    return designed_ ? scale_px(design, dpi()) : design;
}

void Widget::set_bounds(int x, int y, int w, int h) {
    design_ = RECT{x, y, w, h};
    const RECT at = designed_ ? scale_rect(x, y, w, h, dpi()) : RECT{x, y, x + w, y + h};
    SetWindowPos(hwnd(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Widget::apply_dpi() {
    if (!designed_ || !hwnd_)
        return;
    set_bounds(design_.left, design_.top, design_.right, design_.bottom);
    set_font(font_);
    on_dpi_changed();
}

RECT Widget::bounds() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Widget::set_tab_order(int index) {
    HWND parent = GetParent(hwnd());
    std::vector<HWND> order; // the other tab-stop siblings, in Z order
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (c != hwnd() && (GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP))
            order.push_back(c);
    if (index <= 0 || order.empty()) {
        SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    size_t after = std::min(static_cast<size_t>(index), order.size()) - 1;
    SetWindowPos(hwnd(), order[after], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace velmaro::gui
