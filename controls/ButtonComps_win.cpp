#include "controls/ButtonComps_win.h"

#include <windows.h>

#include "controls/contrast_colors.h"
#include "gui/container_win.h"
#include "gui/contrast_win.h"

namespace velmaro::controls {

namespace {

// The face routine's view of the framework canvas.
class CanvasFaceAdapter : public FaceCanvas {
  public:
    explicit CanvasFaceAdapter(gui::Canvas& canvas) : canvas_(canvas) {}
    void set_brush_color(ColorValue color) override { canvas_.set_brush_color(color); }
    void fill_rect(const FaceRect& r) override { canvas_.fill_rect(RECT{r.left, r.top, r.right, r.bottom}); }
    void frame_rect(const FaceRect& r) override {
        canvas_.frame_rect(RECT{r.left, r.top, r.right, r.bottom});
    }
    void set_font_color(ColorValue color) override { canvas_.set_font_color(color); }
    int text_width(const std::string& text) override { return canvas_.text_width(text); }
    int text_height(const std::string& text) override { return canvas_.text_height(text); }
    void text_out(int x, int y, const std::string& text) override { canvas_.text_out(x, y, text); }

  private:
    gui::Canvas& canvas_;
};

bool is_left(gui::TMouseButton button) {
    return button == gui::mbLeft;
}

} // namespace

TSelButton::TSelButton() {
    set_bounds(left(), top(), 105, 20);
    gui::FontSpec f;
    f.name = "Arial";
    f.size_pt = 8;
    f.color = clGray;
    set_font(f);
    set_show_hint(true); // also turns ParentShowHint off
}

void TSelButton::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    repaint();
}

void TSelButton::SetColor(TColor color) {
    colors_.set_color(color);
    repaint();
}

void TSelButton::SetColorBorder(TColor color) {
    color_border_ = color;
    repaint();
}

void TSelButton::SetEnabled(bool on) {
    if (on)
        colors_.enable();
    else
        colors_.disable(parent_background());
    repaint();
}

void TSelButton::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    repaint();
}

void TSelButton::SetBorderWidth(int width) {
    border_width_ = width;
    repaint();
}

// Without a parent there is no background to match; the usual form background stands
// in, and the repaint that follows reports the missing parent.
TColor TSelButton::parent_background() const {
    return parent() ? parent()->color() : clBtnFace;
}

void TSelButton::DrawFace(gui::Canvas& canvas, ButtonFace face) {
    CanvasFaceAdapter adapter(canvas);
    // The design's lengths at the parent's DPI: each outline of the border is one design
    // pixel deep.
    const FaceMetrics metrics{scaled(1), scaled(5), scaled(6), scaled(1)};
    // High contrast draws in the system's colours; the designed ones stay in the properties.
    const bool contrast = gui::high_contrast();
    const FaceLayout layout{width(),
                            height(),
                            caption_,
                            alignment_,
                            scaled(border_width_),
                            contrast ? contrast_border_color(Enabled()) : color_border_,
                            metrics};
    const ButtonColors colors =
        contrast ? contrast_button_colors(Enabled())
                 : ButtonColors{colors_.face(), font().color, color_over_, color_over_caption_, color_down_};
    draw_face(adapter, layout, face, colors);
}

void TSelButton::paint(gui::Canvas& canvas) {
    canvas.set_font(font());
    DrawFace(canvas, ButtonFace::normal);
}

void TSelButton::on_parent_changed() {
    GraphicControl::on_parent_changed();
    // A form attaches the parent before it applies its stored properties, so a stored
    // caption replaces the name.
    if (parent())
        SetCaption(name());
}

void TSelButton::click() {
    GraphicControl::click();
    // The handler runs while the normal face shows, disabled or not.
    paint(face_canvas());
    if (Enabled() && OnClick)
        OnClick(this);
}

void TSelButton::mouse_down(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    GraphicControl::mouse_down(button, shift, x, y);
    if (!is_left(button) || !Enabled())
        return;
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    DrawFace(face_canvas(), ButtonFace::pressed);
}

void TSelButton::mouse_up(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    GraphicControl::mouse_up(button, shift, x, y);
    if (!is_left(button) || !Enabled())
        return;
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    // Released outside: the leave already drew the normal face.
    POINT cursor;
    if (parent() && GetCursorPos(&cursor) && parent()->control_at(cursor) == this)
        DrawFace(face_canvas(), ButtonFace::hover);
}

void TSelButton::mouse_enter() {
    GraphicControl::mouse_enter();
    if (!Enabled())
        return;
    DrawFace(face_canvas(), ButtonFace::hover);
    enter_reported_ = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TSelButton::mouse_leave() {
    GraphicControl::mouse_leave();
    DrawFace(face_canvas(), ButtonFace::normal);
    if (enter_reported_) {
        enter_reported_ = false;
        if (OnMouseLeave)
            OnMouseLeave(this);
    }
}

} // namespace velmaro::controls
