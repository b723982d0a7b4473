#include "ui/PocetakD.h"

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
    d.position = gui::FormPosition::screen_center;
    d.cursor = gui::crHourGlass;
    return d;
}

} // namespace

TPocetakDialog::TPocetakDialog(gui::Application& app) : gui::Form(app, startup_desc()), Timer(0, false) {
    // 8 columns of the picture fall outside the window on the left, as designed.
    Slika.create(*this, -8, 0, 465, 233);
    // Fitted proportionally, enlarged too: on a scaled screen the artwork still fills
    // the scaled frame (at 96 dpi it is shrunk to 465 x 232 either way).
    Slika.set_layout(gui::PictureLayout{false, true, true});
    Slika.load_from_memory(resource_bytes(IDR_STARTUP_JPEG), "startup.jpg");
    // The entry arms the timer: when the ticks come is the start-up sequence's to say.
    Timer.OnTimer = [this](gui::Object* s) { TimerTimer(s); };
}

void TPocetakDialog::TimerTimer(gui::Object*) {
    Timer.set_enabled(false);
    if (on_tick)
        on_tick();
    else
        close();
}

void TPocetakDialog::arm(unsigned interval_ms) {
    Timer.set_interval(interval_ms);
    Timer.set_enabled(true);
}

} // namespace velmaro::ui
