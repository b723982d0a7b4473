#include "gui/window_class_win.h"

#include <set>
#include <string>

#include "base/error.h"

namespace velmaro::gui {

void register_window_class(const WindowClass& window_class) {
    static std::set<std::string> registered;
    if (registered.count(window_class.name))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = window_class.style;
    wc.lpfnWndProc = window_class.procedure;
    wc.hInstance = window_class.instance ? window_class.instance : GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = window_class.background;
    wc.lpszClassName = window_class.name;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error(format_message("Cannot register the window class %s", window_class.name));
    registered.insert(window_class.name);
}

void* bound_object(HWND hwnd) {
    return reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void bind_window(HWND hwnd, void* object) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

} // namespace velmaro::gui
