// The custom controls as a screen reader sees them: a hover button as a push button named
// by its purpose, unavailable while disabled, whose default action "Press" clicks it; a
// link label as a link named by its caption, whose "Jump" opens its address.
#pragma once

#include <string>

#include "controls/ButtonComps_win.h"
#include "controls/URLLabel_win.h"
#include "gui/accessible_win.h"

namespace velmaro::controls {

inline constexpr const char* kPressAction = "Press";
inline constexpr const char* kJumpAction = "Jump";

// `name` says what the button does where its caption is only symbols; the hint becomes
// the description when it says more than the name.
gui::AccessiblePart accessible_button(TSelButton& button, std::string name, std::string shortcut = {});
// The address it opens is its description.
gui::AccessiblePart accessible_link(TURLLabel& link);

} // namespace velmaro::controls
