// The entry: the windows are created hidden in a fixed order, the start-up picture is
// shown modally, and then either the main window takes over (interactive) or, after one
// wallpaper change, the program ends (started with "/s").
#include <windows.h>

#include "app/command_line.h"
#include "app/entry_guard_win.h"
#include "app/quiet_run_win.h"
#include "app/startup_sequence.h"
#include "base/handles_win.h"
#include "base/module_path_win.h"
#include "gui/application_win.h"
#include "gui/error_report_win.h"
#include "imaging/wic_win.h"
#include "state/desktop_menu_win.h"
#include "state/program_settings_win.h"
#include "ui/AboutD.h"
#include "ui/MainForm.h"
#include "ui/OptionsD.h"
#include "ui/PocetakD.h"
#include "wallpaper/schedule_task_win.h"

namespace {

using namespace velmaro;

bool started_unattended() {
    return app::is_unattended(GetCommandLineA());
}

// The start-up window's ticks, as the start-up sequence decides them.
class StartupCourse {
  public:
    StartupCourse(ui::TPocetakDialog& startup, ui::TFormMain& main) : startup_(startup), main_(main) {
        startup_.on_tick = [this] { tick(); };
        main_.on_wallpaper_done = [this] {
            if (sequence_.wallpaper_done(main_.wallpaper_pending()))
                startup_.close();
        };
    }

  private:
    void tick() {
        const int interval = static_cast<int>(startup_.Timer.interval());
        switch (sequence_.tick(started_unattended(), interval, main_.wallpaper_pending())) {
        case app::StartupTick::Close:
            startup_.close();
            break;
        case app::StartupTick::Wait:
            break;
        case app::StartupTick::ArmSecondAndRotate:
            startup_.arm(app::kSecondTickMs);
            rotate();
            break;
        }
    }

    // The rotation may show boxes, whose loops deliver the second tick meanwhile.
    void rotate() {
        sequence_.rotation_started();
        try {
            main_.RotateWallpaper();
        } catch (...) {
            rotation_finished();
            throw; // to the timer's boundary, which reports it
        }
        rotation_finished();
    }

    void rotation_finished() {
        if (sequence_.rotation_finished(main_.wallpaper_pending()))
            startup_.close();
    }

    ui::TPocetakDialog& startup_;
    ui::TFormMain& main_;
    app::StartupSequence sequence_;
};

// A portable copy that was moved finds the desktop's menu naming its old place: the
// menu is written again for this one.
void renew_desktop_menu() {
    try {
        const std::string self = module_file_path();
        if (state::ProgramSettings().desktop_menu() && !state::desktop_menu_names(self))
            state::register_desktop_menu(self);
    } catch (...) {
        gui::report_current_exception();
    }
}

int run_program(HINSTANCE instance) {
    ComScope com; // the shell's folder tree and the system's picture codecs need COM on this thread
    imaging::install_system_codec(imaging::make_wic_codec());
    gui::Application app(instance);
    app.set_title("Velmaro");

    auto& main = app.create_form<ui::TFormMain>();
    auto& startup = app.create_form<ui::TPocetakDialog>();
    auto& about = app.create_form<ui::TAboutDialog>();
    auto& options = app.create_form<ui::TODialog>();
    main.set_dialogs(about, options);

    if (!started_unattended()) {
        renew_desktop_menu();
        state::ProgramSettings settings;
        wallpaper::refresh_schedule_task(settings.change_every(), settings.battery_pause());
    }
    StartupCourse course(startup, main);
    startup.arm(app::kFirstTickMs);
    app.show_modal(startup);
    if (started_unattended())
        app.request_quit();
    return app.run();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A quiet switch makes no window at all: not even the hidden ones of the forms.
    if (const app::SwitchRow* row = app::find_switch(GetCommandLineA()); row && row->quiet)
        return app::run_quiet(*row);
    return app::run_guarded([instance] { return run_program(instance); });
}
