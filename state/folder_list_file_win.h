// Loading and saving the selected-folder list file beside the program.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_write_win.h"

namespace velmaro::state {

// The program's directory (from its module path, not the working directory, which the
// file list changes while browsing) followed by "\Directory.drl".
std::string folder_list_file_path();

// The file's entries, or nullopt when there is no such file (a folder of that name
// does not count), so the caller can show kFolderListMissingText. Other readers may
// read the file meanwhile, no writer may. Throws FileError "Cannot open file %s" when
// the file may exist but cannot be examined or opened (access denied, for instance).
std::optional<std::vector<std::string>> load_folder_list_file(const std::string& path);

// What the system says of a path: its attributes, or INVALID_FILE_ATTRIBUTES with the
// error code. Replaceable for tests, since a refusal cannot be staged for every user.
struct PathProbe {
    DWORD attributes;
    DWORD error;
};
using ProbePath = std::function<PathProbe(const std::string& path)>;
std::optional<std::vector<std::string>> load_folder_list_file(const std::string& path,
                                                              const ProbePath& probe);

// The list file's entries in the program's own code page, read as decode_folder_list
// says (folder_list.h), with the system locale's 8-bit code page as the legacy one.
std::vector<std::string> entries_from_file(std::string_view bytes);

// Replaces the file with the entries in UTF-8, each followed by CR LF. The list goes to a new
// file in the same folder first, which takes the old file's place only once it is
// whole, so a failed or interrupted save leaves the previous list as it was. Throws
// FileError "Cannot create file %s" when the file cannot be created or replaced, and
// "Cannot write file %s" when writing fails. `writer` is replaceable for tests.
void save_folder_list_file(const std::string& path, const std::vector<std::string>& entries,
                           const FileWriter& writer = {});

} // namespace velmaro::state
