// The Options dialog: display mode, random order, the once-a-day change, the further
// picture formats of the file list and a picture per monitor, each stored at OK.
#pragma once

#include "gui/controls_win.h"
#include "gui/form_win.h"

namespace velmaro::ui {

class TODialog : public gui::Form {
  public:
    explicit TODialog(gui::Application& app);

    void LoadOptions();
    void FormActivate(gui::Object* sender);
    void OKBClick(gui::Object* sender);
    void CancelBClick(gui::Object* sender);
    void RndChkBClick(gui::Object* sender);

    gui::Label DisplayL;
    gui::ComboBox DisplayCB;
    gui::CheckBox RndChkB;
    gui::CheckBox NoRepeatChkB;
    gui::PushButton OKB;
    gui::PushButton CancelB;
    gui::CheckBox ChangeWPCB;
    gui::CheckBox MoreTypesCB;
    gui::CheckBox PerMonitorCB;
    gui::CheckBox DesktopMenuCB;

  protected:
    void on_create() override { LoadOptions(); }
    void on_activate() override { FormActivate(this); }
};

} // namespace velmaro::ui
