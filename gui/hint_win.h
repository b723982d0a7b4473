// Hints: tooltips of a form's child windows and of its windowless controls. One tooltip
// window per form; the text of a tool can change at run time.
#pragma once

#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace velmaro::gui {

class Hints {
  public:
    explicit Hints(HWND form);
    Hints(const Hints&) = delete;
    Hints& operator=(const Hints&) = delete;

    HWND tooltip() const { return tip_.get(); }
    // A child window as a tool; an empty text removes it.
    void set_window_hint(HWND child, const std::string& text);
    // An area of a host window as a tool (a windowless control), keyed by `id`; an empty
    // text removes it.
    void set_area_hint(HWND host, UINT_PTR id, const RECT& area, const std::string& text);
    void remove(HWND host, UINT_PTR id);
    // The text a tool shows now; empty when it is not registered.
    std::string text_of(HWND host, UINT_PTR id, bool is_window) const;

  private:
    void put(HWND host, UINT_PTR id, UINT flags, const RECT& area, const std::string& text);
    UniqueHwnd tip_;
};

} // namespace velmaro::gui
