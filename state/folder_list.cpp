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

namespace {

bool has_prefix(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A mark, or several (an editor that added its own to one already there), is never part
// of the first name.
std::string_view without_marks(std::string_view text) {
    while (has_prefix(text, kUtf8Mark))
        text.remove_prefix(kUtf8Mark.size());
    return text;
}

bool is_ascii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// An entry that reads in UTF-8 and in the legacy code page alike: the reading that names
// an existing folder, UTF-8 first.
std::string resolve_ambiguous(std::string entry, const ListDecoding& system) {
    if (is_ascii(entry) || system.folder_exists(entry))
        return entry;
    std::string legacy = system.legacy_to_utf8(entry);
    return legacy != entry && system.folder_exists(legacy) ? legacy : entry;
}

} // namespace

std::vector<std::string> decode_folder_list(std::string_view bytes, const ListDecoding& system) {
    if (has_prefix(bytes, kUtf8Mark))
        return parse_folder_list(repaired_utf8(folder_list_text(without_marks(bytes))));
    if (has_prefix(bytes, "\xFF\xFE") || has_prefix(bytes, "\xFE\xFF"))
        return parse_folder_list(without_marks(utf16_to_utf8(bytes.substr(2), bytes[0] == '\xFE')));
    const std::string_view text = folder_list_text(bytes);
    if (!folder_list_is_utf8(text))
        return parse_folder_list(system.legacy_to_utf8(text));
    std::vector<std::string> entries = parse_folder_list(text);
    for (std::string& entry : entries)
        entry = resolve_ambiguous(std::move(entry), system);
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
