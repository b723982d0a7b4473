// Writing and removing the desktop's right-click submenu for the current user.
#pragma once

#include <string>

namespace velmaro::state {

// Writes every value of the submenu for the program at `program_path`; throws Error
// "Failed to create key %s" or "Failed to set data for '%s'" like the settings store.
void register_desktop_menu(const std::string& program_path);

// Removes the submenu's keys; nothing happens when they are not there.
void remove_desktop_menu();

// Whether the submenu is registered, and for this program.
bool desktop_menu_names(const std::string& program_path);

} // namespace velmaro::state
