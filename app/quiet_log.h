// The quiet runs' log, Velmaro.log: one dated line for each failure, the newest last.
// The file is kept under a size limit by dropping its oldest lines whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmaro::app {

inline constexpr std::size_t kLogLimit = 1024 * 1024; // the file stays below this many bytes

// "2026-12-09 16:05:42 /next: Cannot open file C:\x.jpg" and CR LF. Line ends inside
// the message become blanks, so that one failure is always one line.
std::string log_line(std::string_view date_time, std::string_view switch_name, std::string_view message);

// The log's new contents: `existing` with `line` appended, less as many of its oldest
// lines as it takes to stay below `limit` bytes. A line that is itself too long is cut.
std::string appended_log(std::string_view existing, std::string_view line, std::size_t limit = kLogLimit);

} // namespace velmaro::app
