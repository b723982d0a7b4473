#include "gui/timer_win.h"

#include "base/error.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

namespace {
constexpr char kTimerClass[] = "VelmaroTimer";
constexpr UINT_PTR kTimerId = 1;

void register_timer_class() {
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTimerClass;
    RegisterClassExA(&wc);
    done = true;
}
} // namespace

Timer::Timer(unsigned interval_ms, bool enabled) : interval_(interval_ms), enabled_(enabled) {
    register_timer_class();
    // A message-only window: any message loop of the thread dispatches its WM_TIMER.
    window_.reset(CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (!window_)
        throw Error("Cannot create a timer");
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Timer::window_proc));
    update();
}

Timer::~Timer() {
    if (window_) {
        KillTimer(window_.get(), kTimerId);
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    }
}

void Timer::set_interval(unsigned ms) {
    interval_ = ms;
    update();
}

void Timer::set_enabled(bool on) {
    enabled_ = on;
    update();
}

// Every change starts the countdown afresh.
void Timer::update() {
    KillTimer(window_.get(), kTimerId);
    if (enabled_ && interval_ > 0)
        SetTimer(window_.get(), kTimerId, interval_, nullptr);
}

void Timer::tick() {
    if (OnTimer)
        OnTimer(this);
}

LRESULT CALLBACK Timer::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* timer = reinterpret_cast<Timer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_TIMER && timer && wp == kTimerId) {
        guarded([&] { timer->tick(); });
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace velmaro::gui
