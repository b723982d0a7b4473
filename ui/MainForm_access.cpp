// The main window for the keyboard and for screen readers: the keys that do what the
// folder buttons do, the names and actions that Active Accessibility reports, and the
// redrawing that lets the hover buttons follow high contrast.
#include "controls/accessible_controls_win.h"
#include "gui/contrast_win.h"
#include "gui/error_report_win.h"
#include "ui/MainForm.h"

namespace velmaro::ui {

namespace {

bool modifier_down() {
    return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0;
}

// A key held down repeats: each repeat would add or remove again, or ask again.
bool repeated(const MSG& msg) {
    return (msg.lParam & (1L << 30)) != 0;
}

} // namespace

bool TFormMain::pre_translate(MSG& msg) {
    if (msg.message == WM_KEYDOWN && !modifier_down()) {
        const bool unselect = msg.wParam == VK_DELETE && msg.hwnd == SelDirLB.hwnd();
        const bool select = msg.wParam == VK_RETURN && msg.hwnd == ShellTV.hwnd();
        if (unselect || select) {
            if (!repeated(msg))
                gui::guarded([&] { unselect ? UnSelectBClick(this) : SelectBClick(this); });
            return true;
        }
    }
    return Form::pre_translate(msg);
}

void TFormMain::setup_access() {
    gui::AccessibleInfo window;
    window.parts = {controls::accessible_button(SelectSB, "Select folder"),
                    controls::accessible_button(UnselectSB, "Unselect folder"),
                    controls::accessible_button(SetSB, "Set as wallpaper", "Ctrl+S"),
                    controls::accessible_button(ZatvoriSB, "Close")};
    access_.push_back(std::make_unique<gui::AccessibleWindow>(hwnd(), std::move(window)));

    auto named = [this](HWND control, std::string name, long role) {
        gui::AccessibleInfo info;
        info.name = std::move(name);
        info.role = role;
        access_.push_back(std::make_unique<gui::AccessibleWindow>(control, std::move(info)));
    };
    named(ShellTV.hwnd(), "Folders", ROLE_SYSTEM_OUTLINE);
    named(SelDirLB.hwnd(), "Selected folders", ROLE_SYSTEM_LIST);
    named(FileLB.hwnd(), "Pictures", ROLE_SYSTEM_LIST);

    gui::AccessibleInfo preview;
    preview.name = "Preview";
    preview.role = ROLE_SYSTEM_GRAPHIC;
    preview.description = [this] {
        if (Slika.empty())
            return std::string();
        return std::to_string(Slika.width()) + " by " + std::to_string(Slika.height()) + " pixels";
    };
    access_.push_back(std::make_unique<gui::AccessibleWindow>(Slika.hwnd(), std::move(preview)));
    preview_access_ = access_.back().get();

    gui::follow_system_colors(hwnd());
}

void TFormMain::preview_changed() {
    if (preview_access_)
        preview_access_->notify(EVENT_OBJECT_DESCRIPTIONCHANGE);
}

} // namespace velmaro::ui
