#include "ui/PocetakD.h"

#include "app/startup_sequence.h"
#include "res/resource_ids.h"
#include "ui/resources.h"

namespace velmaro::ui {

namespace {

gui::FormDesc startup_desc() {
    gui::FormDesc d;
    d.window_class = "TPocetakDialog";
    d.caption = "Velmaro";
    d.border = gui::BorderKind::none;
    d.width = 457;
    d.height = 233;
    d.client_size = true;
    d.position = gui::FormPosition::desktop_center;
    d.cursor = gui::crHourGlass;
    return d;
}

} // namespace

TPocetakDialog::TPocetakDialog(gui::Application& app)
    : gui::Form(app, startup_desc()), Timer(app::kFirstTickMs, false) {
    // 8 columns of the picture fall outside the window on the left, as designed.
    Slika.create(hwnd(), -8, 0, 465, 233);
    Slika.set_layout(gui::PictureLayout{false, true, false});
    Slika.load_from_memory(resource_bytes(IDR_STARTUP_JPEG), "startup.jpg");
    Timer.OnTimer = [this](gui::Object* s) { TimerTimer(s); };
}

void TPocetakDialog::TimerTimer(gui::Object*) {
    Timer.set_enabled(false);
    bool pending = wallpaper_pending && wallpaper_pending();
    switch (app::startup_tick(unattended && unattended(), static_cast<int>(Timer.interval()), pending)) {
    case app::StartupTick::Close:
        close();
        break;
    case app::StartupTick::CloseAfterWallpaper:
        close_after_wallpaper_ = true;
        break;
    case app::StartupTick::ArmSecondAndRotate:
        Timer.set_interval(app::kSecondTickMs);
        Timer.set_enabled(true);
        if (rotate)
            rotate();
        break;
    }
}

void TPocetakDialog::wallpaper_done() {
    if (close_after_wallpaper_) {
        close_after_wallpaper_ = false;
        close();
    }
}

} // namespace velmaro::ui
