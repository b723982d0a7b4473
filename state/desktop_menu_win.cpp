#include "state/desktop_menu_win.h"

#include <windows.h>

#include "base/error.h"
#include "base/handles_win.h"
#include "state/desktop_menu.h"

namespace velmaro::state {

void register_desktop_menu(const std::string& program_path) {
    for (const RegistryText& v : desktop_menu_values(program_path)) {
        HKEY raw = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, v.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                            nullptr) != ERROR_SUCCESS)
            throw Error(format_message("Failed to create key %s", v.key));
        UniqueHkey key(raw);
        if (RegSetValueExA(key.get(), v.name.empty() ? nullptr : v.name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(v.value.c_str()),
                           static_cast<DWORD>(v.value.size() + 1)) != ERROR_SUCCESS)
            throw Error(format_message("Failed to set data for '%s'", v.name));
    }
    // The shell reads its menus when it opens one: nothing to tell it.
}

void remove_desktop_menu() {
    const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, kDesktopMenuKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw Error(format_message("Failed to delete key %s", kDesktopMenuKey));
}

bool desktop_menu_names(const std::string& program_path) {
    char data[2048];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, first_item_command_key().c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     data, &size) != ERROR_SUCCESS)
        return false;
    return data == desktop_menu_command(program_path);
}

} // namespace velmaro::state
