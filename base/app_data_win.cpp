#include "base/app_data_win.h"

#include <windows.h>

#include "base/error.h"
#include "base/known_folder_win.h"
#include "base/path.h"

namespace velmaro {

std::string app_data_file(std::string_view name) {
    const std::string root = known_folder_path(FOLDERID_LocalAppData, true);
    if (root.empty())
        throw FileError(format_message("Cannot create file %s", name));
    const std::string folder = join_path(root, "Velmaro");
    CreateDirectoryA(folder.c_str(), nullptr); // a failure shows when the file is written
    return join_path(folder, name);
}

} // namespace velmaro
