#include "state/desktop_menu.h"

#include <array>

namespace velmaro::state {

namespace {

struct MenuItemRow {
    const char* caption;
    const char* switch_name;
};

constexpr std::array kItems{
    MenuItemRow{"Next picture", "/next"},
    MenuItemRow{"Previous picture", "/previous"},
    MenuItemRow{"Show this picture", "/show"},
    MenuItemRow{"Never show this picture again", "/exclude"},
};

std::string command_for(std::string_view program_path, std::string_view switch_name) {
    std::string line = "\"";
    line.append(program_path).append("\" ").append(switch_name);
    return line;
}

std::string item_key(std::size_t n) {
    return std::string(kDesktopMenuKey) + "\\shell\\" + std::to_string(n);
}

} // namespace

std::vector<RegistryText> desktop_menu_values(std::string_view program_path) {
    std::vector<RegistryText> values{{kDesktopMenuKey, "MUIVerb", "Velmaro"},
                                     {kDesktopMenuKey, "SubCommands", ""}};
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        values.push_back({item_key(i + 1), "MUIVerb", kItems[i].caption});
        values.push_back(
            {item_key(i + 1) + "\\command", "", command_for(program_path, kItems[i].switch_name)});
    }
    return values;
}

std::string desktop_menu_command(std::string_view program_path) {
    return command_for(program_path, kItems[0].switch_name);
}

std::string first_item_command_key() {
    return item_key(1) + "\\command";
}

} // namespace velmaro::state
