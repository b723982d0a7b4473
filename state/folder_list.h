// The selected-folder list file "Directory.drl": one folder path per line, CR LF after
// every line, no header, no quoting and no byte-order mark, in UTF-8. Lists written before
// in the user's legacy 8-bit code page are still read. Reading accepts what a text editor may leave
// behind (other line ends, no final line end, a byte-order mark, UTF-16); writing always
// gives the one format.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::state {

inline constexpr const char kFolderListFileName[] = "Directory.drl";

// The text of the box shown when the list file is missing.
inline constexpr const char kFolderListMissingText[] =
    "File \"Directory.drl\" not found. Cannot load Selected direcotories list!";

// The question asked at closing when the list file could not be read at start and the
// list has been changed since.
inline constexpr const char kReplaceUnreadableListText[] =
    "File \"Directory.drl\" could not be read when Velmaro started. "
    "Do you wish to replace it with the list of selected folders?";

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

// What reading a list needs of the system: the legacy code page's text as UTF-8 (throws
// when it cannot be converted), and whether a folder (named in UTF-8) exists.
struct ListDecoding {
    std::function<std::string(std::string_view)> legacy_to_utf8;
    std::function<bool(const std::string&)> folder_exists;
};

// A list file's entries in UTF-8, whatever it was written in:
//  - after a UTF-8 byte-order mark, UTF-8 (a bad byte becomes U+FFFD);
//  - after a UTF-16 mark (either byte order), UTF-16 up to its first NUL character;
//  - without a mark, UTF-8 when the text is; otherwise the legacy code page. Text that is
//    UTF-8 and legacy text at once (any non-ASCII UTF-8 is, in code page 1252) is read
//    entry by entry in the one under which the folder exists, UTF-8 when both or neither
//    do, so that an older list of existing folders keeps naming them once saved in UTF-8.
std::vector<std::string> decode_folder_list(std::string_view bytes, const ListDecoding& system);

// Every entry followed by CR LF; an empty list gives no bytes at all.
std::string serialize_folder_list(const std::vector<std::string>& entries);

// The list file's path for a program at `module_path`: the program's directory (a
// drive root keeps its separator, no other directory does) and "Directory.drl".
std::string folder_list_path_for_module(std::string_view module_path);

} // namespace velmaro::state
