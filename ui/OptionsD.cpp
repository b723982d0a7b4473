#include "ui/OptionsD.h"

#include "base/module_path_win.h"
#include "state/desktop_menu_win.h"
#include "state/program_settings_win.h"
#include "wallpaper/display_mode.h"

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
    d.height = 243;
    d.client_size = true;
    d.font = gui::FontSpec{"Comic Sans MS", 8};
    return d;
}

} // namespace

// "every time Windows start" is the box's caption as users have always seen it: kept.
// Controls are created in tab order: the list, the random box and its no-repeat box, OK,
// Cancel, the daily box, the formats box, the per-monitor box and the desktop menu box.
TODialog::TODialog(gui::Application& app)
    : gui::Form(app, options_desc()), DisplayL(*this, 8, 8, "&Display:"), DisplayCB(*this, 8, 24, 89, 23),
      RndChkB(*this, 8, 56, 129, 17, "Randomize &file list"),
      NoRepeatChkB(*this, 24, 80, 249, 17, "&None again until all are shown"),
      OKB(*this, 40, 208, 75, 25, "&OK"), CancelB(*this, 144, 208, 75, 25, "&Cancel"),
      ChangeWPCB(*this, 8, 104, 249, 17, "Change &wallpaper every time Windows start"),
      MoreTypesCB(*this, 8, 128, 282, 17, "Also list &PNG, GIF, TIFF, WebP and HEIC pictures"),
      PerMonitorCB(*this, 8, 152, 282, 17, "A different picture on each &monitor"),
      DesktopMenuCB(*this, 8, 176, 282, 17, "Add Velmaro to the desktop's right-click men&u") {
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
}

void TODialog::FormActivate(gui::Object*) {
    LoadOptions();
}

void TODialog::OKBClick(gui::Object*) {
    state::ProgramSettings settings;
    settings.set_random(RndChkB.checked());
    settings.set_no_repeat(NoRepeatChkB.checked());
    settings.set_display(DisplayCB.item_index());
    settings.set_once_per_day(ChangeWPCB.checked());
    settings.set_more_types(MoreTypesCB.checked());
    settings.set_per_monitor(PerMonitorCB.checked());
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
