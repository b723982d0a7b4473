// The program's own folder in the user's local application data, %LOCALAPPDATA%\Velmaro,
// where it keeps what belongs to the user rather than to a copy of the program: the
// history of wallpapers and the quiet runs' log.
#pragma once

#include <string>
#include <string_view>

namespace velmaro {

// The file `name` in that folder, which is made when it is not there yet.
std::string app_data_file(std::string_view name);

} // namespace velmaro
