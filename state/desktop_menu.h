// The submenu "Velmaro" on the desktop background's right-click menu: its registry layout
// for the current user, apart from the registry itself. The items are the quiet switches;
// each runs the program's own full path, quoted, with its switch.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmaro::state {

// Below HKEY_CURRENT_USER.
inline constexpr const char kDesktopMenuKey[] = "Software\\Classes\\DesktopBackground\\Shell\\Velmaro";

struct RegistryText {
    std::string key;  // below HKEY_CURRENT_USER
    std::string name; // "" for the key's default value
    std::string value;
    bool operator==(const RegistryText&) const = default;
};

// Every value the submenu needs, keys before their subkeys: the submenu's MUIVerb and
// an empty SubCommands (the items are its own "shell" subkeys), and for item n
// "shell\<n>" with its MUIVerb and "shell\<n>\command" with the command line.
std::vector<RegistryText> desktop_menu_values(std::string_view program_path);

// The command line of the first item for a program: what tells whether the submenu
// names this copy of the program.
std::string desktop_menu_command(std::string_view program_path);
std::string first_item_command_key();

} // namespace velmaro::state
