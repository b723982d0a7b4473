#include "state/folder_list.h"

#include "base/path.h"

namespace velmaro::state {

std::vector<std::string> parse_folder_list(std::string_view bytes) {
    if (auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);

    std::vector<std::string> entries;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        entries.emplace_back(bytes.substr(start, i - start));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size())
        entries.emplace_back(bytes.substr(start));
    return entries;
}

std::string serialize_folder_list(const std::vector<std::string>& entries) {
    std::string out;
    for (const auto& e : entries) {
        out += e;
        out += "\r\n";
    }
    return out;
}

std::string folder_list_path_for_module(std::string_view module_path) {
    return path_beside(module_path, kFolderListFileName);
}

} // namespace velmaro::state
