#include "gui/canvas_win.h"

#include "base/error.h"
#include "gui/color_win.h"
#include "gui/container_win.h"
#include "gui/graphic_control_win.h"

namespace velmaro::gui {

// One drawing operation's DC: the caller's DC, the host's paint DC, or (for a control
// drawing outside a paint) the parent window's DC set to the control's origin and clip.
class Canvas::Session {
  public:
    explicit Session(const Canvas& c) {
        if (c.fixed_dc_) {
            dc_ = c.fixed_dc_;
        } else if (c.paint_dc_) {
            dc_ = c.paint_dc_;
        } else {
            Container* parent = c.owner_ ? c.owner_->parent() : nullptr;
            HWND host = parent ? parent->client_hwnd() : nullptr;
            if (!host)
                throw Error(
                    format_message("Control '%s' has no parent window", c.owner_ ? c.owner_->name() : ""));
            window_ = host;
            dc_ = GetDC(host);
            if (!dc_)
                throw Error("Cannot draw on the parent window");
            saved_ = SaveDC(dc_);
            RECT b = c.owner_->bounds();
            SetViewportOrgEx(dc_, b.left, b.top, nullptr);
            IntersectClipRect(dc_, 0, 0, b.right - b.left, b.bottom - b.top);
        }
        old_font_ = SelectObject(dc_, cached_font(c.font_, c.owner_ ? c.owner_->dpi() : c.dpi_));
    }
    ~Session() {
        SelectObject(dc_, old_font_);
        if (window_) {
            RestoreDC(dc_, saved_);
            ReleaseDC(window_, dc_);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    HDC dc() const { return dc_; }

  private:
    HDC dc_ = nullptr;
    HWND window_ = nullptr;
    int saved_ = 0;
    HGDIOBJ old_font_ = nullptr;
};

Canvas::Canvas(HDC dc, int dpi) : fixed_dc_(dc), dpi_(dpi) {}

Canvas::Canvas(GraphicControl& owner) : owner_(&owner) {}

void Canvas::set_font(const FontSpec& font) {
    font_ = font;
}

void Canvas::fill_rect(const RECT& r) {
    Session s(*this);
    FillRect(s.dc(), &r, solid_brush(brush_color_));
}

void Canvas::frame_rect(const RECT& r) {
    Session s(*this);
    FrameRect(s.dc(), &r, solid_brush(brush_color_));
}

namespace {
SIZE extent(HDC dc, const std::string& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}
} // namespace

int Canvas::text_width(const std::string& text) {
    Session s(*this);
    return extent(s.dc(), text).cx;
}

int Canvas::text_height(const std::string& text) {
    Session s(*this);
    return extent(s.dc(), text).cy;
}

void Canvas::text_out(int x, int y, const std::string& text) {
    Session s(*this);
    SetTextColor(s.dc(), to_colorref(font_.color));
    SetBkColor(s.dc(), to_colorref(brush_color_));
    SetBkMode(s.dc(), OPAQUE);
    SetTextAlign(s.dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutA(s.dc(), x, y, text.c_str(), static_cast<int>(text.size()));
}

} // namespace velmaro::gui
