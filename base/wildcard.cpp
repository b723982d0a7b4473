#include "base/wildcard.h"

#include "base/utf8.h"

namespace velmaro {

const CaseFold& ascii_case_fold() {
    static const CaseFold table = [] {
        CaseFold t{};
        for (int c = 0; c < 256; ++c)
            t.lower[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return t;
    }();
    return table;
}

bool wildcard_match(std::string_view pattern, std::string_view name, const CaseFold& fold) {
    if (pattern.empty())
        return false;
    auto same = [&](char p, char n) {
        return fold[static_cast<unsigned char>(p)] == fold[static_cast<unsigned char>(n)];
    };
    // The bytes of the name's character at `at`: "?" and "*" take whole characters.
    auto width = [&](size_t at) { return fold.utf8 ? utf8_char_length(name, at) : size_t{1}; };
    // Greedy scan that returns to the last "*" on a mismatch: each "*" only ever needs to
    // absorb one more character, so the work stays proportional to pattern x name. A
    // literal of several bytes is matched byte by byte, each byte a step of its own.
    size_t p = 0, n = 0;
    size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += width(n);
        } else if (p < pattern.size() && same(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            resume += width(resume);
            n = resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> split_mask(std::string_view mask) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        size_t end = mask.find(';', start);
        pieces.emplace_back(mask.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return pieces;
}

int compare_nocase(std::string_view a, std::string_view b, const CaseFold& fold) {
    if (fold.compare)
        return fold.compare(a, b);
    size_t len = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < len; ++i) {
        int ca = fold[static_cast<unsigned char>(a[i])];
        int cb = fold[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool equal_nocase(std::string_view a, std::string_view b, const CaseFold& fold) {
    // A system comparison may find texts of different byte lengths equal.
    if (fold.compare)
        return fold.compare(a, b) == 0;
    return a.size() == b.size() && compare_nocase(a, b, fold) == 0;
}

bool name_less(std::string_view a, std::string_view b, const CaseFold& fold) {
    int c = compare_nocase(a, b, fold);
    return c != 0 ? c < 0 : a < b;
}

} // namespace velmaro
