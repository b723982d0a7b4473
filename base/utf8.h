// Whether bytes are well-formed UTF-8, and how long the character at a byte is.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmaro {

// True for well-formed UTF-8 only: no stray continuation bytes, no truncated sequences,
// no overlong forms (C0 80 for NUL, E0 80 80...), no UTF-16 surrogates and nothing above
// U+10FFFF. A NUL byte is the character U+0000 and as such valid; empty text is valid.
bool is_valid_utf8(std::string_view bytes);

// The number of bytes of the well-formed UTF-8 character that starts at `at` (1 to 4);
// 1 where no well-formed character starts there, so a bad byte counts as one character.
std::size_t utf8_char_length(std::string_view bytes, std::size_t at);

} // namespace velmaro
