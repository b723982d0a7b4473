// Helpers for the framework's tests: finding the program's message boxes from inside
// their own loop (through a timer of the GUI thread), reading and answering them, and
// pumping messages until a condition holds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/message_box_win.h"
#include "gui/timer_win.h"

namespace velmaro::test {

// The visible message box of this thread that takes input (the innermost when boxes
// nest), or null.
inline HWND find_message_box() {
    struct Found {
        HWND box = nullptr;
    } found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            char cls[64] = "";
            GetClassNameA(h, cls, sizeof cls);
            if (std::string(cls) == gui::kMessageBoxClass && IsWindowVisible(h) && IsWindowEnabled(h)) {
                reinterpret_cast<Found*>(lp)->box = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.box;
}

inline std::string window_text(HWND h) {
    char buf[1024] = "";
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// What a box showed when the driver found it.
struct SeenBox {
    bool seen = false;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons; // texts, in their order left to right
    bool has_icon = false;
    bool centred = false;
    bool owner_disabled = false;
};

inline SeenBox read_box(HWND box) {
    SeenBox s;
    s.seen = true;
    s.caption = window_text(box);
    s.text = window_text(GetDlgItem(box, gui::kMessageTextId));
    struct Btn {
        int x;
        std::string text;
    };
    std::vector<Btn> btns;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") == 0) {
            RECT r;
            GetWindowRect(c, &r);
            btns.push_back({r.left, window_text(c)});
        }
        if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            s.has_icon = SendMessageA(c, STM_GETICON, 0, 0) != 0;
    }
    std::sort(btns.begin(), btns.end(), [](const Btn& a, const Btn& b) { return a.x < b.x; });
    for (auto& b : btns)
        s.buttons.push_back(b.text);
    RECT r;
    GetWindowRect(box, &r);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    s.centred = std::abs(cx - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1 &&
                std::abs(cy - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1;
    HWND owner = GetWindow(box, GW_OWNER);
    s.owner_disabled = owner && !IsWindowEnabled(owner);
    return s;
}

// Answers the next message box from inside its loop: a timer of the GUI thread looks
// for the box, records what it shows and then runs `answer` on it (once).
class BoxDriver {
  public:
    explicit BoxDriver(std::function<void(HWND box)> answer) : answer_(std::move(answer)), timer_(30, true) {
        timer_.OnTimer = [this](gui::Object*) {
            if (done_)
                return;
            if (HWND box = find_message_box()) {
                done_ = true;
                seen_ = read_box(box);
                answer_(box);
            }
        };
    }
    const SeenBox& seen() const { return seen_; }

  private:
    std::function<void(HWND)> answer_;
    gui::Timer timer_;
    bool done_ = false;
    SeenBox seen_;
};

// Posts a key press to the window that has the keyboard focus (the box's loop then
// takes it as the keyboard would give it).
inline void press_key(HWND box, WPARAM vk) {
    HWND target = GetFocus();
    if (!target || GetAncestor(target, GA_ROOT) != box)
        target = box;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

inline void press_close_box(HWND box) {
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

inline void click_button(HWND box, const std::string& text) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (window_text(c) == text) {
            PostMessageA(c, BM_CLICK, 0, 0);
            return;
        }
}

// Processes messages until `done` holds or the time is up; returns `done()`.
inline bool pump_until(const std::function<bool()>& done, int timeout_ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT)
                return done();
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

inline void pump_for(int ms) {
    pump_until([] { return false; }, ms);
}

} // namespace velmaro::test
