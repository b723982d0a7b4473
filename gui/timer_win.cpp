#include "gui/timer_win.h"

#include "base/error.h"
#include "gui/error_report_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

namespace {
constexpr char kTimerClass[] = "VelmaroTimer";
constexpr UINT_PTR kTimerId = 1;

} // namespace

Timer::Timer(unsigned interval_ms, bool enabled) : interval_(interval_ms), enabled_(enabled) {
    register_window_class({kTimerClass, &window_procedure<Timer>});
    // A message-only window: any message loop of the thread dispatches its WM_TIMER.
    window_.reset(CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (!window_)
        throw Error("Cannot create a timer");
    bind_window(window_.get(), this);
    update();
}

Timer::~Timer() {
    if (window_) {
        KillTimer(window_.get(), kTimerId);
        bind_window(window_.get(), nullptr);
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

Timer* Timer::object_of(HWND hwnd) {
    return static_cast<Timer*>(bound_object(hwnd));
}

LRESULT Timer::window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kTimerId) {
        tick();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace velmaro::gui
