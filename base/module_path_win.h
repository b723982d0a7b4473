// The running program's own file, from its module path: never the working directory,
// which browsing folders may change.
#pragma once

#include <string>
#include <string_view>

namespace velmaro {

// The full path of the program's executable ("" only if the system cannot tell).
std::string module_file_path();

// The file `name` in the program's folder (a drive root keeps its separator).
std::string program_file(std::string_view name);

} // namespace velmaro
