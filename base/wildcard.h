// Case-insensitive file-name patterns and ordering. The system's wildcard search also
// matches 8.3 short names ("*.jpg" finds "holiday.jpgx" through "HOLIDA~1.JPG"), so the
// file list checks every long name it gets back against its pattern here.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro {

// What counts as the same letter. `lower` maps each byte to its lower-case form: the
// default folds A-Z only; the Windows side builds one from a single-byte system code page
// so that accented capitals fold too. In UTF-8 text a letter beyond ASCII is several
// bytes, so no byte table can fold it: there `utf8` is set, bytes from 0x80 up stay as
// they are, "?" takes a whole character, and `compare`, when given, is the system's own
// comparison without regard to case for whole texts (< 0, 0, > 0).
struct CaseFold {
    std::array<unsigned char, 256> lower{};
    bool utf8 = false;
    int (*compare)(std::string_view a, std::string_view b) = nullptr;

    unsigned char operator[](unsigned char c) const { return lower[c]; }
    unsigned char& operator[](unsigned char c) { return lower[c]; }
};
const CaseFold& ascii_case_fold();

// "*" stands for any run of characters (the empty run included), "?" for exactly one
// (a whole UTF-8 sequence when `fold.utf8` is set);
// every other character matches itself without regard to letter case. An empty pattern
// matches nothing, not even an empty name: it is the piece after a mask's last ";".
bool wildcard_match(std::string_view pattern, std::string_view name,
                    const CaseFold& fold = ascii_case_fold());

// The pieces of a mask such as "*.jpg;*.jpeg;*.bmp;", split at each ";", in order; empty
// pieces are kept (they match nothing).
std::vector<std::string> split_mask(std::string_view mask);

// Comparison without regard to letter case: < 0, 0, > 0 like strcmp.
int compare_nocase(std::string_view a, std::string_view b, const CaseFold& fold = ascii_case_fold());
bool equal_nocase(std::string_view a, std::string_view b, const CaseFold& fold = ascii_case_fold());

// Alphabetical order without regard to case; names that differ only in case keep a fixed
// order between them (by their bytes), so sorting gives the same list every time.
bool name_less(std::string_view a, std::string_view b, const CaseFold& fold = ascii_case_fold());

} // namespace velmaro
