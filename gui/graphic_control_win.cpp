#include "gui/graphic_control_win.h"

#include "base/error.h"
#include "gui/container_win.h"

namespace velmaro::gui {

GraphicControl::GraphicControl() = default;

GraphicControl::~GraphicControl() {
    if (parent_)
        parent_->remove_graphic(this);
}

int GraphicControl::dpi() const {
    return parent_ ? parent_->dpi() : kDesignDpi;
}

void GraphicControl::set_bounds(int left, int top, int width, int height) {
    design_ = RECT{left, top, width, height};
    place(scale_rect(left, top, width, height, dpi()));
}

void GraphicControl::set_device_size(int width, int height) {
    place(RECT{bounds_.left, bounds_.top, bounds_.left + width, bounds_.top + height});
}

void GraphicControl::apply_dpi() {
    set_bounds(design_.left, design_.top, design_.right, design_.bottom);
    on_font_changed();
    invalidate();
}

void GraphicControl::place(const RECT& now) {
    if (EqualRect(&now, &bounds_))
        return;
    invalidate();
    bounds_ = now;
    invalidate();
    if (parent_)
        parent_->hint_changed(this);
}

void GraphicControl::set_font(const FontSpec& font) {
    font_ = font;
    on_font_changed();
    if (parent_ && parent_->client_hwnd())
        repaint();
}

void GraphicControl::set_hint(std::string hint) {
    hint_ = std::move(hint);
    if (parent_)
        parent_->hint_changed(this);
}

void GraphicControl::set_show_hint(bool on) {
    show_hint_ = on;
    parent_show_hint_ = false;
    if (parent_)
        parent_->hint_changed(this);
}

void GraphicControl::set_parent_show_hint(bool on) {
    parent_show_hint_ = on;
    if (parent_)
        parent_->hint_changed(this);
}

bool GraphicControl::hint_active() const {
    bool shown = parent_show_hint_ ? (parent_ && parent_->show_hint()) : show_hint_;
    return shown && !hint_.empty() && visible_;
}

void GraphicControl::set_cursor(TCursor c) {
    cursor_ = c;
    // Show the new cursor at once when the pointer rests on the control.
    if (parent_ && parent_->client_hwnd()) {
        POINT pt;
        if (GetCursorPos(&pt) && parent_->control_at(pt) == this && c != crDefault)
            SetCursor(load_cursor(c));
    }
}

void GraphicControl::set_enabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    invalidate();
}

void GraphicControl::set_visible(bool on) {
    if (visible_ == on)
        return;
    visible_ = on;
    if (parent_) {
        HWND host = parent_->client_hwnd();
        if (host)
            InvalidateRect(host, &bounds_, TRUE);
        parent_->hint_changed(this);
    }
}

void GraphicControl::set_parent(Container* parent) {
    if (parent == parent_)
        return;
    if (parent_) {
        invalidate();
        parent_->remove_graphic(this);
    }
    parent_ = parent;
    if (parent_) {
        parent_->add_graphic(this);
        // The design bounds at the new parent's DPI.
        bounds_ = scale_rect(design_.left, design_.top, design_.right, design_.bottom, dpi());
        invalidate();
    }
    on_parent_changed();
}

Canvas& GraphicControl::canvas() {
    if (!parent_ || !parent_->client_hwnd())
        throw Error(format_message("Control '%s' has no parent window", name_));
    if (!canvas_)
        canvas_.reset(new Canvas(*this));
    return *canvas_;
}

void GraphicControl::invalidate() {
    if (!parent_ || !visible_)
        return;
    if (HWND host = parent_->client_hwnd())
        InvalidateRect(host, &bounds_, TRUE);
}

void GraphicControl::repaint() {
    if (!parent_ || !parent_->client_hwnd())
        throw Error(format_message("Control '%s' has no parent window", name_));
    if (!visible_)
        return;
    HWND host = parent_->client_hwnd();
    InvalidateRect(host, &bounds_, TRUE);
    UpdateWindow(host);
}

void GraphicControl::paint(Canvas&) {}

void GraphicControl::mouse_down(TMouseButton, TShiftState, int, int) {}

void GraphicControl::mouse_up(TMouseButton, TShiftState, int, int) {}

void GraphicControl::mouse_move(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

} // namespace velmaro::gui
