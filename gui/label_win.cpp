#include "gui/controls_win.h"

#include <algorithm>

#include "base/handles_win.h"

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

namespace {

// The rightmost column the text's pixels reach when drawn at x = 0 in the DC's font,
// plus one; 0 for no pixels. The rasteriser may put a glyph's last pixels beyond the
// advance widths that DrawText measures (Wine does, by a pixel, with substituted faces).
int ink_width(HDC dc, const std::string& text, int measured_width, int height) {
    const int w = measured_width + height; // room for any overhang
    if (w <= 0 || height <= 0)
        return 0;
    UniqueMemDc mem(CreateCompatibleDC(dc));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bmp(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mem || !bmp || !bits)
        return 0;
    SelectObjectScope keep_bitmap(mem.get(), bmp.get());
    SelectObjectScope keep_font(mem.get(), GetCurrentObject(dc, OBJ_FONT));
    RECT all{0, 0, w, height};
    FillRect(mem.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(mem.get(), RGB(0, 0, 0));
    SetBkMode(mem.get(), TRANSPARENT);
    DrawTextA(mem.get(), text.c_str(), static_cast<int>(text.size()), &all,
              DT_SINGLELINE | DT_LEFT | DT_NOCLIP);
    GdiFlush();
    const auto* px = static_cast<const DWORD*>(bits);
    for (int x = w - 1; x >= 0; --x)
        for (int y = 0; y < height; ++y)
            if ((px[y * w + x] & 0xFFFFFF) != 0xFFFFFF)
                return x + 1;
    return 0;
}

} // namespace

// One line of text in the label's font; "&" marks an access key and takes no room. The
// static clips its text at its edge, so the label is as wide as the measured text or as
// far as its pixels reach, whichever is more: a glyph drawn past the measure would lose
// its last pixels (the colon of "List of selected folders:").
void Label::fit() {
    if (!auto_size_ || !hwnd())
        return;
    std::string t = text();
    RECT r{0, 0, 0, 0};
    int width = 0;
    {
        WindowDc dc(hwnd());
        SelectObjectScope keep_font(dc.get(), cached_font(font(), dpi()));
        DrawTextA(dc.get(), t.empty() ? " " : t.c_str(), t.empty() ? 1 : static_cast<int>(t.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
        width = t.empty() ? 0 : std::max<int>(r.right, ink_width(dc.get(), t, r.right, r.bottom));
    }
    SetWindowPos(hwnd(), nullptr, 0, 0, width, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

void GraphicLabel::on_font_changed() {
    adjust_size();
}

void GraphicLabel::on_parent_changed() {
    adjust_size();
}

void GraphicLabel::adjust_size() {
    if (!auto_size_)
        return;
    WindowDc screen(nullptr);
    Canvas measure(screen.get(), dpi());
    measure.set_font(font());
    set_device_size(measure.text_width(caption_), measure.text_height(caption_.empty() ? " " : caption_));
}

void GraphicLabel::paint(Canvas& canvas) {
    canvas.set_font(font());
    canvas.set_brush_color(parent() ? parent()->color() : clBtnFace);
    canvas.fill_rect(RECT{0, 0, width(), height()});
    canvas.text_out(0, 0, caption_);
}

void GraphicLabel::click() {
    if (OnClick)
        OnClick(this);
}

} // namespace velmaro::gui
