#include "ui/AboutD.h"

#include "controls/accessible_controls_win.h"
#include "gui/contrast_win.h"
#include "res/resource_ids.h"
#include "ui/resources.h"

namespace velmaro::ui {

namespace {

gui::FormDesc about_desc() {
    gui::FormDesc d;
    d.window_class = "TAboutDialog";
    d.caption = "About";
    d.border = gui::BorderKind::tool_sizeable_no_buttons;
    d.width = 291;
    d.height = 243;
    d.client_size = false;
    d.position = gui::FormPosition::screen_center;
    d.font = gui::FontSpec{"Comic Sans MS", 8};
    return d;
}

} // namespace

TAboutDialog::TAboutDialog(gui::Application& app)
    : gui::Form(app, about_desc()),
      Panel1(*this, 0, 0, 281, 177, gui::BevelCut::lowered, gui::BevelCut::raised),
      MakerName(Panel1, 88, 8, "Orbenta"), ProductName(Panel1, 88, 32, "Velmaro v1.0"),
      OKButton(*this, 95, 184, 75, 25, "OK") {
    // The emblem fills its 65 x 57 frame exactly.
    ProgramIcon.create(Panel1, 8, 8, 65, 57);
    ProgramIcon.set_layout(gui::PictureLayout{true, true, true});
    ProgramIcon.load_from_memory(resource_bytes(IDB_EMBLEM), "emblem.bmp");

    URLLabel1.set_parent(&Panel1);
    URLLabel1.set_bounds(8, 96, 98, 13);
    URLLabel1.set_caption("Orbenta Homepage");
    gui::FontSpec link{"MS Sans Serif", 8};
    link.color = clRed;
    URLLabel1.set_font(link);
    URLLabel1.SetNormalColor(clRed);
    URLLabel1.SetOverColor(clRed);
    URLLabel1.SetOverBold(true);
    URLLabel1.SetProtocol(controls::ptWWW);

    OKButton.set_default(true);
    OKButton.set_modal_result(gui::mrOk);
    set_default_button(&OKButton);
    gui::follow_system_colors(hwnd());
    access_ = std::make_unique<gui::AccessibleWindow>(
        Panel1.hwnd(), gui::AccessibleInfo{"", {}, 0, {controls::accessible_link(URLLabel1)}});
}

} // namespace velmaro::ui
