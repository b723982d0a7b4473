#include "state/folder_list.h"

#include "base/path.h"
#include "base/utf8.h"

namespace velmaro::state {

std::string_view folder_list_text(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

bool folder_list_is_utf8(std::string_view bytes) {
    return is_valid_utf8(folder_list_text(bytes));
}

std::vector<std::string> parse_folder_list(std::string_view bytes) {
    bytes = folder_list_text(bytes);

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
