// Reading a small file the program keeps for itself (history, exclusions, log) whole.
#pragma once

#include <optional>
#include <string>

namespace velmaro {

// The file's bytes, or nullopt when there is no such file (nor its folder). Throws
// FileError "Cannot open file %s" when it is there but cannot be read.
std::optional<std::string> read_text_file(const std::string& path);

// Whether a plain file (not a folder) is at `path`.
bool file_exists(const std::string& path);

} // namespace velmaro
