// The entry: the windows are created hidden in a fixed order, the start-up picture is
// shown modally, and then either the main window takes over (interactive) or, after one
// wallpaper change, the program ends (started with "/s").
#include <windows.h>

#include "app/command_line.h"
#include "base/handles_win.h"
#include "gui/application_win.h"
#include "ui/AboutD.h"
#include "ui/MainForm.h"
#include "ui/OptionsD.h"
#include "ui/PocetakD.h"

namespace {
bool started_unattended() {
    return velmaro::app::is_unattended(GetCommandLineA());
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace velmaro;
    ComScope com; // the shell's folder tree needs COM on this thread
    gui::Application app(instance);
    app.set_title("Velmaro");

    auto& main = app.create_form<ui::TFormMain>();
    auto& startup = app.create_form<ui::TPocetakDialog>();
    auto& about = app.create_form<ui::TAboutDialog>();
    auto& options = app.create_form<ui::TODialog>();
    main.set_dialogs(about, options);

    startup.unattended = started_unattended;
    startup.rotate = [&main] { main.RotateWallpaper(); };
    startup.wallpaper_pending = [&main] { return main.wallpaper_pending(); };
    main.on_wallpaper_done = [&startup] { startup.wallpaper_done(); };

    startup.Timer.set_enabled(true);
    app.show_modal(startup);
    if (started_unattended())
        app.request_quit();
    return app.run();
}
