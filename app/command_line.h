// The run mode comes from the first command-line argument after the program's name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmaro::app {

// Splits a command line as the program's runtime does: blanks (any character up to the
// space) separate arguments, double quotes group characters and are removed. Element 0 is
// the program's own name.
std::vector<std::string> split_command_line(std::string_view line);

// True when the first argument after the program's name is exactly "/s".
bool is_unattended(std::string_view command_line);

} // namespace velmaro::app
