#include "controls/accessible_controls_win.h"

namespace velmaro::controls {

gui::AccessiblePart accessible_button(TSelButton& button, std::string name, std::string shortcut) {
    gui::AccessiblePart part;
    part.description = button.hint() != name ? button.hint() : std::string();
    part.name = std::move(name);
    part.role = ROLE_SYSTEM_PUSHBUTTON;
    part.shortcut = std::move(shortcut);
    part.default_action = kPressAction;
    part.bounds = [&button] { return button.bounds(); };
    part.available = [&button] { return button.Enabled() && button.visible(); };
    // As a mouse click: the normal face, then OnClick.
    part.press = [&button] { button.click(); };
    return part;
}

gui::AccessiblePart accessible_link(TURLLabel& link) {
    gui::AccessiblePart part;
    part.name = link.caption();
    part.role = ROLE_SYSTEM_LINK;
    part.description = link.Address();
    part.default_action = kJumpAction;
    part.bounds = [&link] { return link.bounds(); };
    part.available = [&link] { return link.enabled() && link.visible(); };
    part.press = [&link] { link.click(); };
    return part;
}

} // namespace velmaro::controls
