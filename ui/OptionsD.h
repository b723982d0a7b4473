// The Options dialog: display mode, random order, the once-a-day change, the further
// picture formats of the file list, a picture per monitor and the change every few
// minutes, hours or days by the Task Scheduler, each stored at OK.
#pragma once

#include <optional>

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
    gui::CheckBox ChangeEveryChkB;
    gui::NumberEdit EveryNumberE;
    gui::ComboBox EveryUnitCB;
    gui::CheckBox BatteryPauseChkB;

  private:
    void LoadSchedule();
    void ChangeEveryChkBClick(gui::Object* sender);
    // The interval the boxes ask for, in minutes (0: none), or nothing after telling the
    // user what is wrong with it.
    std::optional<int> ChosenInterval();
    // Brings the Task Scheduler's task in line with the choice; false after telling the
    // user why it refused.
    bool ApplySchedule(int minutes, bool battery_pause);
    bool TaskStillThere();

  protected:
    void on_create() override { LoadOptions(); }
    void on_activate() override { FormActivate(this); }
};

} // namespace velmaro::ui
