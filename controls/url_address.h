// The link label's address rules, free of any window system: the protocol prefixes,
// how the address handed to the shell is put together, and when the caption follows
// a newly assigned URL.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmaro::controls {

enum TProtocol : std::uint8_t { ptMAIL = 0, ptWWW = 1, ptFTP = 2, ptFILE = 3 };

inline constexpr std::array<std::string_view, 4> ProtocolPrefix = {"mailto:", "http://", "ftp://", "file:"};

// The maker's home page in host form; a new label shows it and links to it.
inline constexpr std::string_view kDefaultAddress = "www.orbenta.com";

// True for the four protocols the label knows.
bool is_known_protocol(TProtocol protocol);

// The protocol's prefix followed by the URL, unless the URL already begins with that
// exact prefix (case-sensitive; only the label's own protocol is looked for).
// Throws velmaro::Error for a value outside the enumeration rather than reading past
// the prefix table.
std::string compose_address(TProtocol protocol, std::string_view url);

// The caption after URL is assigned new_url: it follows the URL only while it still
// shows the default address.
std::string caption_after_url_assignment(std::string_view caption, std::string_view new_url);

} // namespace velmaro::controls
