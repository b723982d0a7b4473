// A window that holds controls: forms and panels. It paints its background and its
// windowless controls (WM_PAINT and WM_PRINTCLIENT), routes the pointer to them
// (capture from a left press to its release, enter and leave, clicks and double
// clicks, the cursor and the hint), reflects WM_COMMAND/WM_NOTIFY/WM_CTLCOLOR* to its
// child widgets, and gives children its font, colour and hint flag.
#pragma once

#include <windows.h>

#include <vector>

#include "base/color.h"
#include "gui/events_win.h"
#include "gui/font_win.h"

namespace velmaro::gui {

class GraphicControl;
class Form;

class Container {
  public:
    Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container();

    // The window the container's children live in.
    virtual HWND client_hwnd() const = 0;
    // The container whose client window is `hwnd`, or null.
    static Container* from_hwnd(HWND hwnd);
    // The top-level form the container belongs to (itself for a form); may be null.
    virtual Form* owning_form() = 0;
    // The DPI its controls are laid out for: the form's.
    virtual int dpi() const;

    const FontSpec& font() const { return font_; }
    void set_font(const FontSpec& font);
    // Background colour (the brush colour that windowless controls see as the parent's).
    TColor color() const { return color_; }
    void set_color(TColor c);
    bool show_hint() const { return show_hint_; }
    void set_show_hint(bool on) { show_hint_ = on; }
    TCursor cursor() const { return cursor_; }
    void set_cursor(TCursor c) { cursor_ = c; }

    // The topmost visible windowless control under a screen point, disabled ones
    // included; null when there is none.
    GraphicControl* control_at(POINT screen) const;
    const std::vector<GraphicControl*>& graphic_controls() const { return graphics_; }
    // The control that holds the mouse capture (a left press on it not yet released).
    GraphicControl* capture_control() const { return capture_; }

  protected:
    // Lays out every child window and windowless control again for the present DPI.
    void apply_dpi_to_children();
    // Links the container's window to it (call once the window exists).
    void register_window(HWND hwnd);
    // Messages a container handles for its children and windowless controls; returns
    // true when handled, with the result in `result`.
    bool handle_container_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Paints the background and the windowless controls into a DC (client coordinates).
    void paint_surface(HDC dc, const RECT& area);
    virtual void paint_background(HDC dc, const RECT& area);

  private:
    friend class GraphicControl;
    void add_graphic(GraphicControl* c);
    void remove_graphic(GraphicControl* c);
    void hint_changed(GraphicControl* c);

    void on_paint();
    void on_mouse_move(WPARAM wp, POINT pt);
    void on_mouse_leave();
    bool handle_button_message(UINT msg, WPARAM wp, LPARAM lp);
    void print_client(HDC dc);
    void on_capture_changed(HWND gaining);
    void on_button_down(TMouseButton b, WPARAM wp, POINT pt, bool double_click);
    void on_button_up(TMouseButton b, WPARAM wp, POINT pt);
    bool on_set_cursor(WPARAM wp, LPARAM lp);
    void track_leave();
    void set_mouse_control(GraphicControl* now);
    GraphicControl* enabled_control_at_client(POINT pt) const;

    FontSpec font_;
    TColor color_ = clBtnFace;
    bool show_hint_ = false;
    TCursor cursor_ = crDefault;
    std::vector<GraphicControl*> graphics_; // bottom to top
    GraphicControl* capture_ = nullptr;
    GraphicControl* mouse_control_ = nullptr;
    bool double_press_ = false;
    bool tracking_ = false;
    HWND client_hwnd_registered_ = nullptr;
};

} // namespace velmaro::gui
