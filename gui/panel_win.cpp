#include "gui/controls_win.h"

#include "base/error.h"
#include "gui/color_win.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

namespace {
constexpr char kPanelClass[] = "TPanel";

// A ring t pixels deep (one design pixel): top and left in one colour, bottom and right
// in the other.
void ring(HDC dc, const RECT& r, int t, TColor top_left, TColor bottom_right) {
    if (r.right - r.left < t || r.bottom - r.top < t)
        return;
    HBRUSH tl = solid_brush(top_left), br = solid_brush(bottom_right);
    RECT top{r.left, r.top, r.right - t, r.top + t}, left{r.left, r.top, r.left + t, r.bottom - t};
    RECT bottom{r.left, r.bottom - t, r.right, r.bottom}, right{r.right - t, r.top, r.right, r.bottom};
    FillRect(dc, &top, tl);
    FillRect(dc, &left, tl);
    FillRect(dc, &bottom, br);
    FillRect(dc, &right, br);
}

// Draws a bevel ring and moves the rectangle inside it.
void bevel(HDC dc, RECT& r, int t, BevelCut cut) {
    if (cut == BevelCut::none)
        return;
    if (cut == BevelCut::raised)
        ring(dc, r, t, clBtnHighlight, clBtnShadow);
    else
        ring(dc, r, t, clBtnShadow, clBtnHighlight);
    InflateRect(&r, -t, -t);
}
} // namespace

Panel::Panel(Container& parent, int x, int y, int w, int h, BevelCut outer, BevelCut inner)
    : parent_(parent), outer_(outer), inner_(inner) {
    register_window_class({kPanelClass, &window_procedure<Panel>, CS_DBLCLKS});
    Container::set_font(parent.font());
    set_color(parent.color());
    HWND hwnd = create(parent, kPanelClass, "", WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, x, y,
                       w, h, parent.font());
    bind_window(hwnd, this);
    register_window(hwnd);
}

Form* Panel::owning_form() {
    return parent_.owning_form();
}

void Panel::set_bevels(BevelCut outer, BevelCut inner) {
    outer_ = outer;
    inner_ = inner;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::paint_background(HDC dc, const RECT& area) {
    Container::paint_background(dc, area);
    RECT r;
    GetClientRect(hwnd(), &r);
    const int t = scaled(1);
    bevel(dc, r, t, outer_);
    bevel(dc, r, t, inner_);
}

Panel* Panel::object_of(HWND hwnd) {
    return static_cast<Panel*>(bound_object(hwnd));
}

LRESULT Panel::window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (handle_container_message(msg, wp, lp, result))
        return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

Bevel::Bevel(Container& parent, int x, int y, int w, int h, BevelCut cut) : cut_(cut) {
    set_bounds(x, y, w, h);
    set_parent(&parent);
}

void Bevel::paint(Canvas& canvas) {
    if (cut_ == BevelCut::none)
        return;
    const int w = width(), h = height(), t = scaled(1);
    TColor tl = cut_ == BevelCut::raised ? clBtnHighlight : clBtnShadow;
    TColor br = cut_ == BevelCut::raised ? clBtnShadow : clBtnHighlight;
    canvas.set_brush_color(tl);
    canvas.fill_rect(RECT{0, 0, w - t, t});
    canvas.fill_rect(RECT{0, 0, t, h - t});
    canvas.set_brush_color(br);
    canvas.fill_rect(RECT{0, h - t, w, h});
    canvas.fill_rect(RECT{w - t, 0, w, h});
}

} // namespace velmaro::gui
