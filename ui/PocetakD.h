// The start-up window: the program's picture, shown while the program starts and, in an
// unattended run, while the wallpaper changes.
#pragma once

#include <functional>

#include "gui/form_win.h"
#include "gui/picture_box_win.h"
#include "gui/timer_win.h"

namespace velmaro::ui {

class TPocetakDialog : public gui::Form {
  public:
    explicit TPocetakDialog(gui::Application& app);

    void TimerTimer(gui::Object* sender);

    // What a tick does, supplied by the entry; without it the first tick closes.
    std::function<void()> on_tick;
    // Starts the timer again with another interval.
    void arm(unsigned interval_ms);

    gui::PictureBox Slika;
    gui::Timer Timer;
};

} // namespace velmaro::ui
