// Path rules shared by every layer: how a name is joined to a folder, and which file
// sits beside another. Paths are Windows paths; both separators are recognised.
#pragma once

#include <string>
#include <string_view>

namespace velmaro {

// The folder and the name with one separator between them: none is added when the
// folder already ends in one, and an empty folder gives the name alone.
std::string join_path(std::string_view folder, std::string_view name);

// The folder that holds `path`: a drive root keeps its separator ("C:\a.txt" -> "C:\"),
// and a path without a folder gives "".
std::string folder_of(std::string_view path);

// The file `name` in the folder that holds `file_path`. A drive root keeps its
// separator ("C:\Velmaro.exe" -> "C:\name"); a path without a folder gives `name`.
std::string path_beside(std::string_view file_path, std::string_view name);

} // namespace velmaro
