// A section/name/value view over one registry key under HKEY_CURRENT_USER. Every value
// is REG_SZ text; numbers are decimal, flags "1"/"0". A section is a key path below the
// opened key, the empty section the opened key itself. Nothing is held in memory
// between calls: every read asks the registry, every write goes to it at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace velmaro::state {

class TSettingsStore {
  public:
    TSettingsStore() = default;
    explicit TSettingsStore(const std::string& key_path) { Open(key_path); }
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;

    // Opens the key to read and write values (no wider rights are needed), creating it and any missing
    // parents. Never throws: a key that can be neither opened nor created makes reads give their defaults and
    // writes fail with "Failed to create key %s".
    void Open(const std::string& key_path);

    // A missing section or value gives the default; reads never create anything.
    // Errors: "Invalid data type for '%s'" for a value that is not REG_SZ or
    // REG_EXPAND_SZ (the latter returned unexpanded), "Failed to get data for '%s'".
    std::string ReadText(const std::string& section, const std::string& name,
                         const std::string& fallback) const;
    std::int32_t ReadNumber(const std::string& section, const std::string& name, std::int32_t fallback) const;
    bool ReadFlag(const std::string& section, const std::string& name, bool fallback) const;

    // Creates the section when needed and replaces the value, whatever its old type.
    // Errors: "Failed to create key %s", "Failed to set data for '%s'".
    void WriteText(const std::string& section, const std::string& name, const std::string& value);
    void WriteNumber(const std::string& section, const std::string& name, std::int32_t value);
    void WriteFlag(const std::string& section, const std::string& name, bool value);

    // The names of a section's values, none for a missing section; and the removal of
    // one value, nothing when it is not there. Error: "Failed to delete data for '%s'".
    std::vector<std::string> ValueNames(const std::string& section) const;
    void DeleteValue(const std::string& section, const std::string& name);

    void Close();

    bool is_open() const { return static_cast<bool>(key_); }

  private:
    std::string key_path_;
    UniqueHkey key_;
};

} // namespace velmaro::state
