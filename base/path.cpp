#include "base/path.h"

namespace velmaro {

namespace {
bool is_separator(char c) {
    return c == '\\' || c == '/';
}
} // namespace

std::string join_path(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!joined.empty() && !is_separator(joined.back()))
        joined += '\\';
    joined += name;
    return joined;
}

std::string path_beside(std::string_view file_path, std::string_view name) {
    auto sep = file_path.find_last_of("\\/");
    if (sep == std::string_view::npos)
        return std::string(name);
    // "C:\Velmaro.exe" lives in the root "C:\", whose separator belongs to the folder.
    bool drive_root = sep == 2 && file_path[1] == ':';
    return join_path(file_path.substr(0, drive_root ? sep + 1 : sep), name);
}

} // namespace velmaro
