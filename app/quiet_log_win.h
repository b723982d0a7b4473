// Writing a quiet run's failure to %LOCALAPPDATA%\Velmaro\Velmaro.log.
#pragma once

#include <string_view>

namespace velmaro::app {

// Appends one dated line (local time); never throws: a log that cannot be written is
// left as it is, and the exit code still tells the failure.
void log_failure(std::string_view switch_name, std::string_view message) noexcept;

} // namespace velmaro::app
