#include "state/folder_list_file_win.h"

#include "base/code_page_win.h"
#include "base/error.h"
#include "base/handles_win.h"
#include "base/module_path_win.h"
#include "state/folder_list.h"

namespace velmaro::state {

namespace {

PathProbe probe_with_system(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return {attrs, attrs == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS};
}

bool means_missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

std::string folder_list_file_path() {
    return folder_list_path_for_module(module_file_path());
}

std::optional<std::vector<std::string>> load_folder_list_file(const std::string& path) {
    return load_folder_list_file(path, probe_with_system);
}

std::optional<std::vector<std::string>> load_folder_list_file(const std::string& path,
                                                              const ProbePath& probe) {
    const PathProbe found = probe(path);
    if (found.attributes == INVALID_FILE_ATTRIBUTES) {
        // Only a file that is surely not there is "not found"; one the system will not
        // let us look at may well hold the user's list.
        if (means_missing(found.error))
            return std::nullopt;
        throw FileError(format_message("Cannot open file %s", path));
    }
    if (found.attributes & FILE_ATTRIBUTE_DIRECTORY)
        return std::nullopt;

    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD err = GetLastError();
        // Gone between the look and the opening: the same as never there.
        if (means_missing(err))
            return std::nullopt;
        throw FileError(format_message("Cannot open file %s", path));
    }

    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            throw FileError(format_message("Cannot read file %s", path));
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    return entries_from_file(bytes);
}

std::vector<std::string> entries_from_file(std::string_view bytes) {
    // A list from before the UTF-8 lists, in the system's 8-bit code page, is read in
    // that code page, so no one loses the list; the next save writes it as UTF-8.
    ListDecoding system;
    system.legacy_to_utf8 = [cp = legacy_code_page()](std::string_view text) {
        return convert_code_page(text, cp, CP_UTF8);
    };
    system.folder_exists = [](const std::string& utf8) {
        const DWORD attrs = GetFileAttributesW(to_wide(utf8, CP_UTF8).c_str());
        return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
    };
    std::vector<std::string> entries = decode_folder_list(bytes, system);
    for (std::string& entry : entries)
        entry = convert_code_page(entry, CP_UTF8, CP_ACP);
    return entries;
}

void save_folder_list_file(const std::string& path, const std::vector<std::string>& entries,
                           const FileWriter& writer) {
    const std::string text = convert_code_page(serialize_folder_list(entries), CP_ACP, CP_UTF8);
    replace_file(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, writer);
}

} // namespace velmaro::state
