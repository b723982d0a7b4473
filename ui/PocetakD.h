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

    // Supplied by the entry: whether this run is unattended (asked afresh at each tick),
    // the rotation, and whether the wallpaper it requested is still due.
    std::function<bool()> unattended;
    std::function<void()> rotate;
    std::function<bool()> wallpaper_pending;
    // Called once that wallpaper has been applied (or has failed).
    void wallpaper_done();

    gui::PictureBox Slika;
    gui::Timer Timer;

  private:
    bool close_after_wallpaper_ = false;
};

} // namespace velmaro::ui
