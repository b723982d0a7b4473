#include "gui/controls_win.h"

namespace velmaro::gui {

Label::Label(Container& parent, int x, int y, const std::string& text, const std::optional<FontSpec>& font) {
    create(parent, "STATIC", text, SS_LEFT, 0, x, y, 0, 0, font);
    fit();
}

void Label::set_caption(const std::string& text) {
    set_text(text);
    fit();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::set_auto_size(bool on) {
    auto_size_ = on;
    fit();
}

// One line of text in the label's font; "&" marks an access key and takes no room.
void Label::fit() {
    if (!auto_size_ || !hwnd()) return;
    std::string t = text();
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, cached_font(font()));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, t.empty() ? " " : t.c_str(), t.empty() ? 1 : static_cast<int>(t.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    SetWindowPos(hwnd(), nullptr, 0, 0, t.empty() ? 0 : r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GraphicLabel::set_caption(std::string text) {
    caption_ = std::move(text);
    adjust_size();
    invalidate();
}

void GraphicLabel::set_auto_size(bool on) {
    auto_size_ = on;
    adjust_size();
}

void GraphicLabel::on_font_changed() { adjust_size(); }

void GraphicLabel::on_parent_changed() { adjust_size(); }

void GraphicLabel::adjust_size() {
    if (!auto_size_) return;
    HDC screen = GetDC(nullptr);
    {
        Canvas measure(screen);
        measure.set_font(font());
        set_bounds(left(), top(), measure.text_width(caption_), measure.text_height(caption_.empty() ? " " : caption_));
    }
    ReleaseDC(nullptr, screen);
}

void GraphicLabel::paint(Canvas& canvas) {
    canvas.set_font(font());
    canvas.set_brush_color(parent() ? parent()->color() : clBtnFace);
    canvas.fill_rect(RECT{0, 0, width(), height()});
    canvas.text_out(0, 0, caption_);
}

void GraphicLabel::click() {
    if (OnClick) OnClick(this);
}

} // namespace velmaro::gui
