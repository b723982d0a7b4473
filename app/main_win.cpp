// Entry point. Until the forms exist this shows an empty main window and ends when it closes.
#include <windows.h>

#include "gui/handles_win.h"

namespace {
LRESULT CALLBACK skeleton_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    velmaro::gui::ComScope com;
    WNDCLASSA wc{};
    wc.lpfnWndProc = skeleton_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "TFormMain";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "TFormMain", "Velmaro v1.0", WS_OVERLAPPEDWINDOW, 230, 105,
                                450, 459, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
