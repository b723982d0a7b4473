// The About box: the program's emblem, name and version, the maker and a link to the
// maker's home page.
#pragma once

#include <memory>

#include "controls/URLLabel_win.h"
#include "gui/accessible_win.h"
#include "gui/controls_win.h"
#include "gui/form_win.h"
#include "gui/picture_box_win.h"

namespace velmaro::ui {

class TAboutDialog : public gui::Form {
  public:
    explicit TAboutDialog(gui::Application& app);

    gui::Panel Panel1;
    gui::PictureBox ProgramIcon;
    gui::Label MakerName;
    gui::Label ProductName;
    controls::TURLLabel URLLabel1;
    gui::PushButton OKButton;

  private:
    // The link, drawn on the panel, as a screen reader finds it there.
    std::unique_ptr<gui::AccessibleWindow> access_;
};

} // namespace velmaro::ui
