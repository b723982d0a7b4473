// The user's and the system's special folders (the Desktop, the local application data),
// as paths in the program's code page.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace velmaro {

// The folder's path ("" when the system has none for this user). With `create`, a folder
// that does not exist yet is made.
std::string known_folder_path(REFKNOWNFOLDERID id, bool create = false);

} // namespace velmaro
