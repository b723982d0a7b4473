// Active Accessibility as a screen reader uses it from another process: a window's
// client-area object with its children, and a child's default action.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// acc HWND: {name, role, state, description, action, children: [{id, name, role, state,
// description, action}]}; id is the child id of a simple element, 0 for an object.
std::string cmd_acc(const std::vector<std::string>& args);
// acc_do HWND NAME: runs the default action of the first child so named.
std::string cmd_acc_do(const std::vector<std::string>& args);

} // namespace e2e
