// Whether bytes are well-formed UTF-8, and how long the character at a byte is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmaro {

// True for well-formed UTF-8 only: no stray continuation bytes, no truncated sequences,
// no overlong forms (C0 80 for NUL, E0 80 80...), no UTF-16 surrogates and nothing above
// U+10FFFF. A NUL byte is the character U+0000 and as such valid; empty text is valid.
bool is_valid_utf8(std::string_view bytes);

// The number of bytes of the well-formed UTF-8 character that starts at `at` (1 to 4);
// 1 where no well-formed character starts there, so a bad byte counts as one character.
std::size_t utf8_char_length(std::string_view bytes, std::size_t at);

// The text with every byte that starts no well-formed character replaced by U+FFFD.
std::string repaired_utf8(std::string_view bytes);

// UTF-16 code units (two bytes each, in the given byte order) as UTF-8, up to the first
// NUL unit; an unpaired surrogate becomes U+FFFD and an odd last byte is dropped.
std::string utf16_to_utf8(std::string_view bytes, bool big_endian);

} // namespace velmaro
