// Our window classes: one way to register them and one window procedure for them all.
//
//   register_window_class({"TPanel", &window_procedure<Panel>, CS_DBLCLKS});
//
// window_procedure<T> hands every message of a window to its object's
// `LRESULT window_message(HWND, UINT, WPARAM, LPARAM)`, found by `T::object_of(hwnd)`
// (by default the object bound to the window: at WM_NCCREATE from the creation
// parameter, or by bind_window). No exception crosses it: one is reported and the
// message answered with 0. A window without its object gets the default handling.
#pragma once

#include <windows.h>

#include "gui/error_report_win.h"

namespace velmaro::gui {

struct WindowClass {
    const char* name;
    WNDPROC procedure = DefWindowProcA;
    UINT style = 0;
    HBRUSH background = nullptr;
    HINSTANCE instance = nullptr; // null: the program's own module
};

// Registers the class once for the run (with the arrow cursor); a name already
// registered is left as it is. Throws Error "Cannot register the window class %s".
void register_window_class(const WindowClass& window_class);

// The object a window is bound to (null when none), and the binding itself.
void* bound_object(HWND hwnd);
void bind_window(HWND hwnd, void* object);

template <typename T> LRESULT CALLBACK window_procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        if (void* object = reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams)
            bind_window(hwnd, object);
    T* self = T::object_of(hwnd);
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        return self->window_message(hwnd, msg, wp, lp);
    } catch (...) {
        report_current_exception();
        return 0;
    }
}

} // namespace velmaro::gui
