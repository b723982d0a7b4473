// A timer that ticks through whichever message loop runs (the main loop, a modal
// window's loop or a message box's): SetTimer on a hidden window of its own. Each tick
// runs OnTimer with the general error report as its boundary.
#pragma once

#include <windows.h>

#include "base/handles_win.h"
#include "gui/events_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

class Timer : public Object {
  public:
    explicit Timer(unsigned interval_ms = 1000, bool enabled = true);
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned interval() const { return interval_; }
    // A new interval restarts a running timer; 0 stops ticks.
    void set_interval(unsigned ms);
    bool enabled() const { return enabled_; }
    void set_enabled(bool on);

    TNotifyEvent OnTimer;

    // Runs one tick now, as the system's WM_TIMER would.
    void tick();

  private:
    template <typename T> friend LRESULT CALLBACK window_procedure(HWND, UINT, WPARAM, LPARAM);
    static Timer* object_of(HWND hwnd);
    LRESULT window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void update();

    UniqueHwnd window_;
    unsigned interval_;
    bool enabled_;
};

} // namespace velmaro::gui
