// The list file's reader on hostile files: any bytes give entries that are UTF-8 without
// line ends, and a list written back and read again is the same list (ASan watches reads).
#include "base/utf8.h"
#include "state/folder_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

using velmaro::state::ListDecoding;

// Code page 1252's upper half taken as Latin-1, as the system would convert it.
std::string latin1_to_utf8(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ListDecoding system;
    system.legacy_to_utf8 = latin1_to_utf8;
    // A name "exists" by a rule of its bytes, so that both readings get their turn.
    system.folder_exists = [](const std::string& name) { return name.size() % 3 == 0; };
    const std::vector<std::string> entries = velmaro::state::decode_folder_list(bytes, system);
    for (const std::string& e : entries)
        if (!velmaro::is_valid_utf8(e) || e.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            std::abort();
    // Read again with every entry existing as it is: the saved list must come back whole.
    ListDecoding saved = system;
    saved.folder_exists = [&](const std::string& name) {
        return std::find(entries.begin(), entries.end(), name) != entries.end();
    };
    if (velmaro::state::decode_folder_list(velmaro::state::serialize_folder_list(entries), saved) != entries)
        std::abort();
    return 0;
}
