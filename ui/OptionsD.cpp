#include "ui/OptionsD.h"

#include "base/module_path_win.h"
#include "gui/message_box_win.h"
#include "state/desktop_menu_win.h"
#include "state/program_settings_win.h"
#include "wallpaper/display_mode.h"
#include "wallpaper/schedule_task.h"
#include "wallpaper/schedule_task_win.h"

namespace velmaro::ui {

namespace {

gui::FormDesc options_desc() {
    gui::FormDesc d;
    d.window_class = "TODialog";
    d.caption = "Options";
    d.border = gui::BorderKind::tool_fixed;
    d.left = 230;
    d.top = 174;
    // Wider than the three first controls need: the longer captions of the two last boxes
    // are not cut at the edge.
    d.width = 298;
    d.height = 291;
    d.client_size = true;
    d.font = gui::FontSpec{"Comic Sans MS", 8};
    return d;
}

} // namespace

// "every time Windows start" is the box's caption as users have always seen it: kept.
// Controls are created in tab order: the list, the random box and its no-repeat box, OK,
// Cancel, the daily box, the formats box, the per-monitor box, the desktop menu box, then
// the scheduled change's group.
TODialog::TODialog(gui::Application& app)
    : gui::Form(app, options_desc()), DisplayL(*this, 8, 8, "&Display:"), DisplayCB(*this, 8, 24, 89, 23),
      RndChkB(*this, 8, 56, 129, 17, "Randomize &file list"),
      NoRepeatChkB(*this, 24, 80, 249, 17, "&None again until all are shown"),
      OKB(*this, 40, 256, 75, 25, "&OK"), CancelB(*this, 144, 256, 75, 25, "&Cancel"),
      ChangeWPCB(*this, 8, 104, 249, 17, "Change &wallpaper every time Windows start"),
      MoreTypesCB(*this, 8, 128, 282, 17, "Also list &PNG, GIF, TIFF, WebP and HEIC pictures"),
      PerMonitorCB(*this, 8, 152, 282, 17, "A different picture on each &monitor"),
      DesktopMenuCB(*this, 8, 176, 282, 17, "Add Velmaro to the desktop's right-click men&u"),
      ChangeEveryChkB(*this, 8, 202, 164, 17, "Change the wallpaper e&very"),
      EveryNumberE(*this, 176, 200, 36, 21, 3),
      EveryUnitCB(*this, 216, 200, 74, 21, std::nullopt, gui::ComboStyle::drop_down_list),
      BatteryPauseChkB(*this, 24, 226, 266, 17, "Not on &battery power") {
    DisplayL.set_auto_size(false);
    DisplayL.set_bounds(8, 8, 41, 15);
    for (const wallpaper::DisplayMode& mode : wallpaper::display_modes())
        DisplayCB.add(mode.caption);
    DisplayCB.set_item_height(15);
    DisplayCB.set_closed_height(23);
    RndChkB.OnClick = [this](gui::Object* s) { RndChkBClick(s); };
    OKB.OnClick = [this](gui::Object* s) { OKBClick(s); };
    CancelB.set_cancel(true);
    CancelB.OnClick = [this](gui::Object* s) { CancelBClick(s); };
    set_cancel_button(&CancelB);
    for (const auto& unit : wallpaper::kIntervalUnits)
        EveryUnitCB.add(unit.name);
    EveryUnitCB.set_closed_height(21);
    ChangeEveryChkB.OnClick = [this](gui::Object* s) { ChangeEveryChkBClick(s); };
}

void TODialog::LoadOptions() {
    state::ProgramSettings settings;
    RndChkB.set_checked(settings.random_for_dialog());
    NoRepeatChkB.set_checked(settings.no_repeat());
    RndChkBClick(this);
    DisplayCB.set_item_index(settings.display());
    ChangeWPCB.set_checked(settings.once_per_day());
    MoreTypesCB.set_checked(settings.more_types());
    PerMonitorCB.set_checked(settings.per_monitor());
    DesktopMenuCB.set_checked(settings.desktop_menu());
    LoadSchedule();
}

// Off, the boxes offer half an hour.
void TODialog::LoadSchedule() {
    state::ProgramSettings settings;
    const int minutes = settings.change_every();
    const wallpaper::IntervalChoice choice =
        minutes > 0 ? wallpaper::split_interval(minutes) : wallpaper::IntervalChoice{30, 0};
    ChangeEveryChkB.set_checked(minutes > 0);
    EveryNumberE.set_value(choice.number);
    EveryUnitCB.set_item_index(choice.unit);
    BatteryPauseChkB.set_checked(settings.battery_pause());
    ChangeEveryChkBClick(this);
}

void TODialog::ChangeEveryChkBClick(gui::Object*) {
    EveryNumberE.set_enabled(ChangeEveryChkB.checked());
    EveryUnitCB.set_enabled(ChangeEveryChkB.checked());
}

std::optional<int> TODialog::ChosenInterval() {
    if (!ChangeEveryChkB.checked())
        return 0;
    const std::optional<int> number = EveryNumberE.value();
    const int unit = EveryUnitCB.item_index();
    if (!number || *number < 1 || *number > wallpaper::kMaxIntervalNumber || unit < 0) {
        gui::message_box(gui::MsgKind::warning, "Change the wallpaper every 1 to 999 minutes, hours or days.",
                         gui::mbOK);
        EveryNumberE.focus();
        return std::nullopt;
    }
    const int minutes = *number * wallpaper::kIntervalUnits[unit].minutes;
    if (minutes > wallpaper::kMaxIntervalMinutes) {
        gui::message_box(gui::MsgKind::warning, "The Task Scheduler repeats a task at most every 31 days.",
                         gui::mbOK);
        EveryNumberE.focus();
        return std::nullopt;
    }
    return minutes;
}

// Only a change goes to the Task Scheduler, or a task that has gone (deleted by hand):
// a user who confirms other options is not told about a Task Scheduler that has nothing
// to do.
bool TODialog::ApplySchedule(int minutes, bool battery_pause) {
    state::ProgramSettings settings;
    const bool same =
        minutes == settings.change_every() && (minutes == 0 || battery_pause == settings.battery_pause());
    if (same && (minutes == 0 || TaskStillThere()))
        return true;
    try {
        if (minutes > 0)
            wallpaper::register_schedule_task(minutes, battery_pause);
        else
            wallpaper::delete_schedule_task();
    } catch (const wallpaper::ScheduleError& e) {
        gui::message_box(gui::MsgKind::error, e.what(), gui::mbOK);
        return false;
    }
    return true;
}

void TODialog::FormActivate(gui::Object*) {
    LoadOptions();
}

bool TODialog::TaskStillThere() {
    try {
        return wallpaper::schedule_task_exists();
    } catch (const wallpaper::ScheduleError&) {
        return true; // nothing can be done now; a change will tell
    }
}

// A refused or impossible interval keeps the dialog open, nothing stored.
void TODialog::OKBClick(gui::Object*) {
    const std::optional<int> minutes = ChosenInterval();
    if (!minutes || !ApplySchedule(*minutes, BatteryPauseChkB.checked()))
        return;
    state::ProgramSettings settings;
    settings.set_random(RndChkB.checked());
    settings.set_no_repeat(NoRepeatChkB.checked());
    settings.set_display(DisplayCB.item_index());
    settings.set_once_per_day(ChangeWPCB.checked());
    settings.set_more_types(MoreTypesCB.checked());
    settings.set_per_monitor(PerMonitorCB.checked());
    settings.set_change_every(*minutes);
    settings.set_battery_pause(BatteryPauseChkB.checked());
    settings.set_desktop_menu(DesktopMenuCB.checked());
    if (DesktopMenuCB.checked())
        state::register_desktop_menu(module_file_path());
    else
        state::remove_desktop_menu();
    set_modal_result(gui::mrOk);
}

// The no-repeat box says how the random order goes: it keeps its tick, but is offered
// only while the random order is on.
void TODialog::RndChkBClick(gui::Object*) {
    NoRepeatChkB.set_enabled(RndChkB.checked());
}

void TODialog::CancelBClick(gui::Object*) {
    set_modal_result(gui::mrCancel);
}

} // namespace velmaro::ui
