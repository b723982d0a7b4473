// The selected-folder list file "Directory.drl": one folder path per line, CR LF after
// every line, no header, no quoting and no byte-order mark, in UTF-8. Lists written before
// in the user's legacy 8-bit code page are still read. Reading accepts what a text editor may leave
// behind (other line ends, no final line end); writing always gives the one format.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmaro::state {

inline constexpr const char kFolderListFileName[] = "Directory.drl";

// The text of the box shown when the list file is missing.
inline constexpr const char kFolderListMissingText[] =
    "File \"Directory.drl\" not found. Cannot load Selected direcotories list!";

// The part of a list file's bytes that holds the list: everything before its first NUL.
std::string_view folder_list_text(std::string_view bytes);

// Whether a list file's text (up to its first NUL) is UTF-8, as this program writes it
// (plain ASCII is); otherwise it was written in a legacy 8-bit code page and is read in
// that. An empty file is UTF-8: there is nothing to convert.
bool folder_list_is_utf8(std::string_view bytes);

// Lines end at CR LF, a lone CR or a lone LF; the text ends at the end of the data or at
// its first NUL. A final line without a line end is an entry; nothing follows the final
// line end; empty lines inside the text are empty entries.
std::vector<std::string> parse_folder_list(std::string_view bytes);

// Every entry followed by CR LF; an empty list gives no bytes at all.
std::string serialize_folder_list(const std::vector<std::string>& entries);

// The list file's path for a program at `module_path`: the program's directory (a
// drive root keeps its separator, no other directory does) and "Directory.drl".
std::string folder_list_path_for_module(std::string_view module_path);

} // namespace velmaro::state
