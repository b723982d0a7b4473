// A child-window control. The container's window procedure hands WM_COMMAND, WM_NOTIFY
// and WM_CTLCOLOR* that come from a child back to the child's Widget, found through a
// window property, so each control handles its own notifications.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/handles_win.h"
#include "gui/events_win.h"
#include "gui/font_win.h"

namespace velmaro::gui {

// A window's whole text ("" for no window).
std::string window_text(HWND hwnd);

// Line `index` of a list box, or with `combo` of a combo box's list; ListIndexError
// outside its lines.
std::string list_item_text(HWND list, int index, bool combo = false);

class Container;

class Widget : public Object {
  public:
    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    ~Widget() override;

    HWND hwnd() const { return hwnd_.get(); }
    int control_id() const { return hwnd_ ? GetDlgCtrlID(hwnd_.get()) : 0; }

    // Reflected notifications; return true when handled.
    virtual bool on_command(WORD /*code*/) { return false; }
    virtual bool on_notify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // WM_CTLCOLOR*: the default paints the text in the font's colour on the parent's
    // background for statics and buttons; return false to leave the system's colours.
    virtual bool on_ctl_color(UINT msg, HDC dc, LRESULT& brush);

    // The Widget that owns a child window, or null.
    static Widget* from_hwnd(HWND hwnd);
    // Hands a WM_COMMAND/WM_NOTIFY/WM_CTLCOLOR* received by a container to the child it
    // came from.
    static bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    const FontSpec& font() const { return font_; }
    // Gives the control a font (and its colour), then runs on_font_changed().
    void set_font(const FontSpec& font);

    // Tooltip of the control; shown while show_hint() is set and the text is not empty.
    const std::string& hint() const { return hint_; }
    void set_hint(std::string text);
    bool show_hint() const { return show_hint_; }
    void set_show_hint(bool on);

    std::string text() const;
    void set_text(const std::string& text);
    bool enabled() const { return IsWindowEnabled(hwnd()) != FALSE; }
    void set_enabled(bool on) { EnableWindow(hwnd(), on ? TRUE : FALSE); }
    bool visible() const { return IsWindowVisible(hwnd()) != FALSE; }
    void set_visible(bool on) { ShowWindow(hwnd(), on ? SW_SHOWNA : SW_HIDE); }
    // Position and size in design pixels (96 dpi), placed at the container's DPI.
    void set_bounds(int x, int y, int w, int h);
    RECT bounds() const; // in the parent's client coordinates, device pixels

    // The DPI the control is laid out for: its container's (the monitor's of its form).
    int dpi() const;
    // A design length in the control's device pixels. A control created in a bare window
    // (not in a container) takes its numbers as device pixels and is not scaled.
    int scaled(int design) const;
    // Lays the control out again for its container's present DPI: its designed bounds,
    // its font, then on_dpi_changed(). Containers call it when their form changes monitor.
    void apply_dpi();
    void focus() { SetFocus(hwnd()); }

    // Position among the siblings that take part in Tab navigation (0 = first).
    // Without a call the order is the order of creation.
    void set_tab_order(int index);

    Container* parent_container() const { return parent_; }

  protected:
    virtual void on_font_changed() {}
    // After apply_dpi() has placed the control and given it its font: the control's own
    // design lengths (line heights, indents) at the new DPI.
    virtual void on_dpi_changed() {}
    // Creates the child window in a container, with a fresh control id and the given
    // font (the container's when none), and takes ownership of it.
    HWND create(Container& parent, const char* window_class, const std::string& text, DWORD style,
                DWORD ex_style, int x, int y, int w, int h, const std::optional<FontSpec>& font);
    // Takes ownership of a freshly created child window and links it to this object.
    void attach(HWND child);

  private:
    void update_tooltip();

    UniqueHwnd hwnd_;
    Container* parent_ = nullptr;
    FontSpec font_;
    std::string hint_;
    bool show_hint_ = false;
    RECT design_{0, 0, 0, 0}; // x, y, width, height at 96 dpi
    bool designed_ = false;   // created in a container: its numbers are design pixels
};

// Control ids for child windows: unique in the process, above IDOK..IDCONTINUE.
int next_control_id();

} // namespace velmaro::gui
