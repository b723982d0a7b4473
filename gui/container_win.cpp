#include "gui/container_win.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "gui/canvas_win.h"
#include "gui/color_win.h"
#include "gui/error_report_win.h"
#include "gui/form_win.h"
#include "gui/graphic_control_win.h"
#include "gui/hint_win.h"
#include "gui/widget_win.h"

namespace velmaro::gui {

namespace {
constexpr char kContainerProp[] = "VelmaroContainer";

POINT client_point(LPARAM lp) {
    return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

bool contains(const RECT& r, POINT pt) {
    return PtInRect(&r, pt) != FALSE;
}
} // namespace

Container::~Container() {
    for (GraphicControl* c : graphics_)
        c->parent_ = nullptr;
    if (HWND h = client_hwnd_registered_)
        RemovePropA(h, kContainerProp);
}

void Container::register_window(HWND hwnd) {
    client_hwnd_registered_ = hwnd;
    SetPropA(hwnd, kContainerProp, reinterpret_cast<HANDLE>(this));
}

Container* Container::from_hwnd(HWND hwnd) {
    return hwnd ? reinterpret_cast<Container*>(GetPropA(hwnd, kContainerProp)) : nullptr;
}

int Container::dpi() const {
    Form* form = const_cast<Container*>(this)->owning_form();
    if (form && static_cast<const Container*>(form) != this)
        return form->dpi();
    return window_dpi(client_hwnd());
}

void Container::apply_dpi_to_children() {
    HWND host = client_hwnd();
    if (!host)
        return;
    for (HWND child = GetWindow(host, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Widget* w = Widget::from_hwnd(child))
            w->apply_dpi();
    for (GraphicControl* c : std::vector<GraphicControl*>(graphics_))
        c->apply_dpi();
    InvalidateRect(host, nullptr, TRUE);
}

void Container::set_font(const FontSpec& font) {
    font_ = font;
}

void Container::set_color(TColor c) {
    color_ = c;
    if (HWND h = client_hwnd())
        InvalidateRect(h, nullptr, TRUE);
}

void Container::add_graphic(GraphicControl* c) {
    graphics_.push_back(c);
}

void Container::remove_graphic(GraphicControl* c) {
    std::erase(graphics_, c);
    if (capture_ == c) {
        capture_ = nullptr;
        if (GetCapture() == client_hwnd())
            ReleaseCapture();
    }
    if (mouse_control_ == c)
        mouse_control_ = nullptr;
    if (Form* f = owning_form(); f && f->has_hints() && client_hwnd())
        f->hints().remove(client_hwnd(), reinterpret_cast<UINT_PTR>(c));
}

void Container::hint_changed(GraphicControl* c) {
    Form* f = owning_form();
    if (!f || !client_hwnd())
        return;
    f->hints().set_area_hint(client_hwnd(), reinterpret_cast<UINT_PTR>(c), c->bounds(),
                             c->hint_active() ? c->hint() : std::string());
}

GraphicControl* Container::control_at(POINT screen) const {
    HWND host = client_hwnd();
    if (!host)
        return nullptr;
    POINT pt = screen;
    ScreenToClient(host, &pt);
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it)
        if ((*it)->visible() && contains((*it)->bounds(), pt))
            return *it;
    return nullptr;
}

GraphicControl* Container::enabled_control_at_client(POINT pt) const {
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        GraphicControl* c = *it;
        if (c->visible() && contains(c->bounds(), pt))
            return c->enabled() ? c : nullptr;
    }
    return nullptr;
}

void Container::paint_background(HDC dc, const RECT& area) {
    FillRect(dc, &area, solid_brush(color_));
}

void Container::paint_surface(HDC dc, const RECT& area) {
    paint_background(dc, area);
    std::exception_ptr failure;
    for (GraphicControl* c : std::vector<GraphicControl*>(graphics_)) {
        RECT b = c->bounds(), common;
        if (!c->visible() || !IntersectRect(&common, &b, &area))
            continue;
        if (!c->canvas_)
            c->canvas_.reset(new Canvas(*c));
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + b.left, org.y + b.top, nullptr);
        IntersectClipRect(dc, 0, 0, b.right - b.left, b.bottom - b.top);
        c->canvas_->paint_dc_ = dc;
        try {
            c->paint(*c->canvas_);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
        c->canvas_->paint_dc_ = nullptr;
        RestoreDC(dc, saved);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void Container::on_paint() {
    HWND host = client_hwnd();
    std::exception_ptr failure;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(host, &ps);
    try {
        paint_surface(dc, ps.rcPaint);
    } catch (...) {
        failure = std::current_exception();
    }
    EndPaint(host, &ps);
    // Reported only now that the area is valid again: the report's own loop would
    // otherwise paint, fail and report without end.
    if (failure)
        std::rethrow_exception(failure);
}

void Container::track_leave() {
    if (tracking_)
        return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, client_hwnd(), 0};
    tracking_ = TrackMouseEvent(&tme) != FALSE;
}

// Enter and leave go to the control under the pointer; while a control holds the
// capture, only that control gets them.
void Container::set_mouse_control(GraphicControl* now) {
    if (now == mouse_control_)
        return;
    GraphicControl* old = mouse_control_;
    mouse_control_ = now;
    if (old && (!capture_ || capture_ == old))
        guarded([&] { old->mouse_leave(); });
    if (now && mouse_control_ == now && (!capture_ || capture_ == now))
        guarded([&] { now->mouse_enter(); });
}

void Container::on_mouse_move(WPARAM wp, POINT pt) {
    track_leave();
    GraphicControl* under = nullptr;
    for (auto it = graphics_.rbegin(); it != graphics_.rend() && !under; ++it)
        if ((*it)->visible() && contains((*it)->bounds(), pt))
            under = *it;
    set_mouse_control(under);
    GraphicControl* target = capture_ ? capture_ : (under && under->enabled() ? under : nullptr);
    if (target)
        target->mouse_move(TShiftState::from_mouse_keys(wp), pt.x - target->left(), pt.y - target->top());
}

void Container::on_mouse_leave() {
    tracking_ = false;
    if (capture_)
        return;
    set_mouse_control(nullptr);
}

void Container::on_button_down(TMouseButton b, WPARAM wp, POINT pt, bool double_click) {
    GraphicControl* c = enabled_control_at_client(pt);
    if (!c)
        return;
    if (b == mbLeft) {
        capture_ = c;
        double_press_ = double_click;
        SetCapture(client_hwnd());
    }
    c->mouse_down(b, TShiftState::from_mouse_keys(wp, double_click), pt.x - c->left(), pt.y - c->top());
}

void Container::on_button_up(TMouseButton b, WPARAM wp, POINT pt) {
    TShiftState shift = TShiftState::from_mouse_keys(wp);
    if (b == mbLeft && capture_) {
        GraphicControl* c = capture_;
        bool second_press = double_press_;
        capture_ = nullptr;
        double_press_ = false;
        if (GetCapture() == client_hwnd())
            ReleaseCapture();
        // The click comes before the release's own notification, and only for a press
        // that was not the second of a double click.
        if (!second_press && c->enabled() && contains(c->bounds(), pt))
            guarded([&] { c->click(); });
        c->mouse_up(b, shift, pt.x - c->left(), pt.y - c->top());
        return;
    }
    GraphicControl* c = capture_ ? capture_ : enabled_control_at_client(pt);
    if (c)
        c->mouse_up(b, shift, pt.x - c->left(), pt.y - c->top());
}

bool Container::on_set_cursor(WPARAM wp, LPARAM lp) {
    if (LOWORD(lp) != HTCLIENT)
        return false;
    HWND host = client_hwnd();
    if (reinterpret_cast<HWND>(wp) == host) {
        POINT pt;
        GetCursorPos(&pt);
        if (GraphicControl* c = control_at(pt); c && c->cursor() != crDefault) {
            SetCursor(load_cursor(c->cursor()));
            return true;
        }
    }
    if (cursor_ != crDefault) {
        SetCursor(load_cursor(cursor_));
        return true;
    }
    return false;
}

// A mouse button pressed or released over the client area. The right button's messages
// go on to the window as well, which still gets its context menu.
bool Container::handle_button_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        on_button_down(mbLeft, wp, client_point(lp), msg == WM_LBUTTONDBLCLK);
        return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        on_button_down(mbRight, wp, client_point(lp), msg == WM_RBUTTONDBLCLK);
        return false;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        on_button_down(mbMiddle, wp, client_point(lp), msg == WM_MBUTTONDBLCLK);
        return true;
    case WM_LBUTTONUP:
        on_button_up(mbLeft, wp, client_point(lp));
        return true;
    case WM_RBUTTONUP:
        on_button_up(mbRight, wp, client_point(lp));
        return false;
    default:
        on_button_up(mbMiddle, wp, client_point(lp));
        return true;
    }
}

void Container::print_client(HDC dc) {
    RECT r;
    GetClientRect(client_hwnd(), &r);
    paint_surface(dc, r);
}

// The mouse went to another window: a press in progress here is over.
void Container::on_capture_changed(HWND gaining) {
    if (gaining != client_hwnd()) {
        capture_ = nullptr;
        double_press_ = false;
    }
}

bool Container::handle_container_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_PAINT:
        on_paint();
        return true;
    case WM_PRINTCLIENT:
        print_client(reinterpret_cast<HDC>(wp));
        return true;
    case WM_ERASEBKGND:
        result = 1; // WM_PAINT paints the background together with the controls
        return true;
    case WM_MOUSEMOVE:
        on_mouse_move(wp, client_point(lp));
        return true;
    case WM_MOUSELEAVE:
        on_mouse_leave();
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return handle_button_message(msg, wp, lp);
    case WM_CAPTURECHANGED:
        on_capture_changed(reinterpret_cast<HWND>(lp));
        return false;
    case WM_SETCURSOR:
        if (on_set_cursor(wp, lp)) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return Widget::reflect(msg, wp, lp, result);
    default:
        return false;
    }
}

} // namespace velmaro::gui
