// A control without a window of its own: it draws on its parent container's surface and
// the container hands it pointer notifications (enter, leave, press, release, click,
// move). Used by the hover button and the link label.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/canvas_win.h"
#include "gui/events_win.h"
#include "gui/font_win.h"

namespace velmaro::gui {

class Container;

class GraphicControl : public Object {
  public:
    GraphicControl();
    ~GraphicControl() override;
    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;

    const std::string& name() const { return name_; }
    void set_name(std::string name) { name_ = std::move(name); }

    // Bounds in the parent's client coordinates, in device pixels: the design bounds
    // scaled to the parent's DPI (the same numbers at 96 dpi).
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.right - bounds_.left; }
    int height() const { return bounds_.bottom - bounds_.top; }
    RECT bounds() const { return bounds_; }
    // Design bounds: pixels at 96 dpi.
    void set_bounds(int left, int top, int width, int height);
    void set_left(int v) { set_bounds(v, design_.top, design_.right, design_.bottom); }
    void set_top(int v) { set_bounds(design_.left, v, design_.right, design_.bottom); }
    void set_width(int v) { set_bounds(design_.left, design_.top, v, design_.bottom); }
    void set_height(int v) { set_bounds(design_.left, design_.top, design_.right, v); }

    // The parent's DPI (the design's without a parent), and a design length at it.
    int dpi() const;
    int scaled(int design) const { return scale_px(design, dpi()); }
    // Placed and measured again for the parent's present DPI, then redrawn.
    void apply_dpi();

    // The control's font; a change repaints the control (after on_font_changed()).
    const FontSpec& font() const { return font_; }
    void set_font(const FontSpec& font);

    // Hint shown as a tooltip while the pointer rests on the control. Showing follows
    // the control's own flag, or the parent's while parent_show_hint() is set.
    const std::string& hint() const { return hint_; }
    void set_hint(std::string hint);
    bool show_hint() const { return show_hint_; }
    void set_show_hint(bool on); // also clears parent_show_hint
    bool parent_show_hint() const { return parent_show_hint_; }
    void set_parent_show_hint(bool on);
    bool hint_active() const; // the effective flag, with a non-empty hint

    TCursor cursor() const { return cursor_; }
    void set_cursor(TCursor c);

    // The framework's enabled state: a disabled control gets no presses, releases,
    // clicks or moves, but still gets enter and leave, and control_at() finds it.
    bool enabled() const { return enabled_; }
    void set_enabled(bool on);
    bool visible() const { return visible_; }
    void set_visible(bool on);

    Container* parent() const { return parent_; }
    // Attaches to a container (or none), on top of its other windowless controls; then
    // runs on_parent_changed().
    void set_parent(Container* parent);

    // A canvas drawing at once on the parent's surface, clipped to the control. Throws
    // velmaro::Error when the control has no parent (or the parent no window).
    Canvas& canvas();
    void invalidate();
    // Draws the control now (paint() on its canvas, over the parent's background).
    void repaint();

    // Notifications from the host; the defaults do nothing.
    virtual void paint(Canvas& canvas);
    virtual void on_parent_changed() {}
    virtual void on_font_changed() {}
    virtual void mouse_down(TMouseButton button, TShiftState shift, int x, int y);
    virtual void mouse_up(TMouseButton button, TShiftState shift, int x, int y);
    // A left press that began on the control, released inside it; before mouse_up.
    virtual void click() {}
    virtual void mouse_enter() {}
    virtual void mouse_leave() {}
    virtual void mouse_move(TShiftState shift, int x, int y);

    // Optional handlers fired by the defaults above (the control's own events may
    // replace them).
    TMouseMoveEvent OnMouseMove;

  protected:
    // A size measured in device pixels (a label fitted to its caption); the position
    // stays the designed one.
    void set_device_size(int width, int height);

  private:
    friend class Container;
    friend class Canvas;
    void place(const RECT& now);
    std::string name_;
    RECT design_{0, 0, 0, 0}; // left, top, width, height at 96 dpi
    RECT bounds_{0, 0, 0, 0};
    FontSpec font_;
    std::string hint_;
    bool show_hint_ = false;
    bool parent_show_hint_ = true;
    TCursor cursor_ = crDefault;
    bool enabled_ = true;
    bool visible_ = true;
    Container* parent_ = nullptr;
    std::unique_ptr<Canvas> canvas_;
};

} // namespace velmaro::gui
