// Text between the system's 8-bit code pages. The program's own strings are in the active
// code page (GetACP: UTF-8 where the system honours the program's manifest, the system's
// code page elsewhere); files it writes for itself are in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace velmaro {

// `text` from code page `from` into code page `to`, through UTF-16. Bytes that are no
// character of `from` and characters `to` cannot hold become replacement characters.
// Unchanged when both are the same code page. A conversion the system refuses (an
// unknown code page, text too long) throws Error "Cannot convert text from code page %d"
// or "Cannot convert text to code page %d", never giving empty text.
std::string convert_code_page(std::string_view text, unsigned from, unsigned to);

// The two halves of it: 8-bit text to UTF-16 and back, with the same errors.
std::wstring to_wide(std::string_view text, unsigned from);
std::string from_wide(std::wstring_view wide, unsigned to);

// The 8-bit code page of the system's locale, as older programs wrote their files in it
// (1252 on an English or German system), even while the active code page is UTF-8.
// 1252 for locales that have no 8-bit code page of their own.
unsigned legacy_code_page();

} // namespace velmaro
