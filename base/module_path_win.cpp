#include "base/module_path_win.h"

#include <windows.h>

#include "base/path.h"

namespace velmaro {

std::string module_file_path() {
    std::string buf(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        // A full buffer means the path was cut short: try again with more room.
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

std::string program_file(std::string_view name) {
    return path_beside(module_file_path(), name);
}

} // namespace velmaro
