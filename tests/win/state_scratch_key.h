// A registry key of its own for each test under HKCU\Software\VelmaroTest, removed with
// everything below it when the test ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace velmaro::testing {

class ScratchKey {
  public:
    ScratchKey() {
        static int counter = 0;
        path_ = "Software\\VelmaroTest\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    }
    ~ScratchKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelmaroTest"); // only when no other test's key is left
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::string& path() const { return path_; }
    std::string sub(const std::string& section) const { return path_ + "\\" + section; }

  private:
    std::string path_;
};

inline bool key_exists(const std::string& path) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

struct RawValue {
    DWORD type = REG_NONE;
    std::string data; // the bytes as stored, terminating NUL included
};

inline std::optional<RawValue> raw_value(const std::string& key, const std::string& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue v;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        v.data.assign(size, '\0');
        rc = RegQueryValueExA(h, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(v.data.data()),
                              &size);
        v.data.resize(size);
    }
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

inline void set_raw_value(const std::string& key, const std::string& name, DWORD type, const void* data,
                          DWORD size) {
    HKEY h = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    RegSetValueExA(h, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(h);
}

} // namespace velmaro::testing
