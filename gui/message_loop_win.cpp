#include "gui/message_loop_win.h"

#include <algorithm>

namespace velmaro::gui {

namespace {
constexpr char kKeyHandlerProp[] = "VelmaroKeyHandler";
thread_local int g_box_returns = 0;

struct EnumState {
    HWND modal;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK disable_one(HWND hwnd, LPARAM lp) {
    auto* st = reinterpret_cast<EnumState*>(lp);
    if (hwnd != st->modal && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        st->disabled->push_back(hwnd);
        EnableWindow(hwnd, FALSE);
    }
    return TRUE;
}
} // namespace

void KeyHandler::install(HWND top_level, KeyHandler* handler) {
    SetPropA(top_level, kKeyHandlerProp, reinterpret_cast<HANDLE>(handler));
}

void KeyHandler::remove(HWND top_level) {
    RemovePropA(top_level, kKeyHandlerProp);
}

KeyHandler* KeyHandler::of(HWND top_level) {
    return top_level ? reinterpret_cast<KeyHandler*>(GetPropA(top_level, kKeyHandlerProp)) : nullptr;
}

void dispatch_message(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        if (KeyHandler* h = KeyHandler::of(GetAncestor(msg.hwnd, GA_ROOT)))
            if (h->pre_translate(msg))
                return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool process_one_message() {
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (got == -1)
        return false;
    dispatch_message(msg);
    return true;
}

ModalScope::ModalScope(HWND modal) : modal_(modal), previously_active_(GetActiveWindow()) {
    EnumState st{modal, &disabled_};
    EnumThreadWindows(GetCurrentThreadId(), disable_one, reinterpret_cast<LPARAM>(&st));
}

void ModalScope::end() {
    if (ended_)
        return;
    ended_ = true;
    // Enable before the modal window goes, so that the activation has somewhere to go.
    for (HWND h : disabled_)
        if (IsWindow(h))
            EnableWindow(h, TRUE);
    if (previously_active_ && previously_active_ != modal_ && IsWindow(previously_active_) &&
        IsWindowVisible(previously_active_))
        SetActiveWindow(previously_active_);
}

bool returning_from_message_box() {
    return g_box_returns > 0;
}

BoxReturnScope::BoxReturnScope() {
    ++g_box_returns;
}
BoxReturnScope::~BoxReturnScope() {
    --g_box_returns;
}

} // namespace velmaro::gui
