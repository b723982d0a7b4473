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

std::string folder_of(std::string_view path) {
    auto sep = path.find_last_of("\\/");
    if (sep == std::string_view::npos)
        return {};
    // "C:\Velmaro.exe" lives in the root "C:\", whose separator belongs to the folder.
    bool drive_root = sep == 2 && path[1] == ':';
    return std::string(path.substr(0, drive_root ? sep + 1 : sep));
}

std::string path_beside(std::string_view file_path, std::string_view name) {
    std::string folder = folder_of(file_path);
    return folder.empty() ? std::string(name) : join_path(folder, name);
}

} // namespace velmaro
