// A child-window control. The container's window procedure hands WM_COMMAND and
// WM_NOTIFY that come from a child back to the child's Widget, found through a window
// property, so each control handles its own notifications.
#pragma once

#include <windows.h>

#include "gui/handles_win.h"

namespace velmaro::gui {

class Widget {
public:
    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    virtual ~Widget();

    HWND hwnd() const { return hwnd_.get(); }

    // Reflected notifications; return true when handled.
    virtual bool on_command(WORD /*code*/) { return false; }
    virtual bool on_notify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

    // The Widget that owns a child window, or null.
    static Widget* from_hwnd(HWND hwnd);
    // Hands a WM_COMMAND/WM_NOTIFY received by a container to the child it came from.
    static bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    // Takes ownership of a freshly created child window and links it to this object.
    void attach(HWND child);

private:
    UniqueHwnd hwnd_;
};

} // namespace velmaro::gui
