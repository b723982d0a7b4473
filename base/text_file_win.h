// Reading a small file the program keeps for itself (history, exclusions, log) whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmaro {

// The file's bytes, or nullopt when there is no such file (nor its folder). Throws
// FileError "Cannot open file %s" when it is there but cannot be read.
std::optional<std::string> read_text_file(const std::string& path);

// The program's own lists are kept in UTF-8 and held in the active code page: the file's
// text converted (nullopt when there is none), and `text` converted and put in place of
// the file atomically. Throw like read_text_file, replace_file and convert_code_page.
std::optional<std::string> read_utf8_text_file(const std::string& path);
void replace_utf8_text_file(const std::string& path, std::string_view text);

// Whether a plain file (not a folder) is at `path`.
bool file_exists(const std::string& path);

} // namespace velmaro
