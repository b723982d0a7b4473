// A hover button as a screen reader sees it: a push button named by its purpose,
// unavailable while disabled, whose default action "Press" clicks it.
#pragma once

#include <string>

#include "controls/ButtonComps_win.h"
#include "gui/accessible_win.h"

namespace velmaro::controls {

inline constexpr const char* kPressAction = "Press";

// `name` says what the button does where its caption is only symbols; the hint becomes
// the description when it says more than the name.
gui::AccessiblePart accessible_button(TSelButton& button, std::string name, std::string shortcut = {});

} // namespace velmaro::controls
