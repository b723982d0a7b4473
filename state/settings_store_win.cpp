#include "state/settings_store_win.h"

#include <vector>

#include "base/error.h"
#include "state/number_text.h"

namespace velmaro::state {

namespace {

// False for a value that is not there; throws for one that cannot be read or is no text.
bool text_value_there(LONG rc, DWORD type, const std::string& name) {
    if (rc == ERROR_FILE_NOT_FOUND)
        return false;
    if (rc != ERROR_SUCCESS)
        throw Error(format_message("Failed to get data for '%s'", name));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(format_message("Invalid data type for '%s'", name));
    return true;
}

// Opens a section below `key` for one read; null when the section does not exist.
UniqueHkey open_section_for_read(HKEY key, const std::string& section) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(key, section.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return {};
    return UniqueHkey(h);
}

} // namespace

void TSettingsStore::Open(const std::string& key_path) {
    key_.reset();
    key_path_ = key_path;
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &h, nullptr) == ERROR_SUCCESS)
        key_.reset(h);
}

std::string TSettingsStore::ReadText(const std::string& section, const std::string& name,
                                     const std::string& fallback) const {
    if (!key_)
        return fallback;
    UniqueHkey section_key;
    HKEY from = key_.get();
    if (!section.empty()) {
        section_key = open_section_for_read(key_.get(), section);
        if (!section_key)
            return fallback;
        from = section_key.get();
    }

    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(from, name.c_str(), nullptr, &type, nullptr, &size);
    if (!text_value_there(rc, type, name))
        return fallback;

    // The value may grow between the size query and the read: ask again until it fits.
    std::vector<char> data;
    for (;;) {
        data.assign(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = static_cast<DWORD>(data.size());
        rc = RegQueryValueExA(from, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2 + 64;
            continue;
        }
        if (!text_value_there(rc, type, name))
            return fallback;
        size = got;
        break;
    }
    std::string text(data.data(), size);
    if (auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

std::int32_t TSettingsStore::ReadNumber(const std::string& section, const std::string& name,
                                        std::int32_t fallback) const {
    // A missing value reads as empty text, which parses to the default too.
    return parse_number(ReadText(section, name, std::string()), fallback);
}

bool TSettingsStore::ReadFlag(const std::string& section, const std::string& name, bool fallback) const {
    return ReadNumber(section, name, fallback ? 1 : 0) != 0;
}

void TSettingsStore::WriteText(const std::string& section, const std::string& name,
                               const std::string& value) {
    if (!key_) {
        std::string path = section.empty() ? key_path_ : key_path_ + "\\" + section;
        throw Error(format_message("Failed to create key %s", path));
    }
    UniqueHkey section_key;
    HKEY to = key_.get();
    if (!section.empty()) {
        HKEY h = nullptr;
        if (RegCreateKeyExA(key_.get(), section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
            throw Error(format_message("Failed to create key %s", section));
        section_key.reset(h);
        to = h;
    }
    if (value.size() >= 0xFFFFFFFFu ||
        RegSetValueExA(to, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw Error(format_message("Failed to set data for '%s'", name));
}

void TSettingsStore::WriteNumber(const std::string& section, const std::string& name, std::int32_t value) {
    WriteText(section, name, format_number(value));
}

void TSettingsStore::WriteFlag(const std::string& section, const std::string& name, bool value) {
    WriteText(section, name, value ? "1" : "0");
}

std::vector<std::string> TSettingsStore::ValueNames(const std::string& section) const {
    std::vector<std::string> names;
    if (!key_)
        return names;
    UniqueHkey section_key = open_section_for_read(key_.get(), section);
    if (!section_key)
        return names;
    // Registry value names are at most 16383 characters long.
    std::vector<char> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD size = static_cast<DWORD>(name.size());
        LONG rc = RegEnumValueA(section_key.get(), i, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_SUCCESS)
            names.emplace_back(name.data(), size);
    }
    return names;
}

void TSettingsStore::DeleteValue(const std::string& section, const std::string& name) {
    if (!key_)
        return;
    HKEY h = nullptr;
    if (RegOpenKeyExA(key_.get(), section.c_str(), 0, KEY_READ | KEY_WRITE, &h) != ERROR_SUCCESS)
        return;
    UniqueHkey section_key(h);
    LONG rc = RegDeleteValueA(h, name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        throw Error(format_message("Failed to delete data for '%s'", name));
}

void TSettingsStore::Close() {
    key_.reset();
}

} // namespace velmaro::state
