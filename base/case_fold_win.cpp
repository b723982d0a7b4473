#include "base/case_fold_win.h"

#include <windows.h>

#include <string>

namespace velmaro {

namespace {

std::wstring wide(std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, w.data(), n);
    return w;
}

int system_compare(std::string_view a, std::string_view b) {
    const std::wstring wa = wide(a), wb = wide(b);
    const int order = CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                           static_cast<int>(wb.size()), TRUE);
    if (order == 0) // only for bad arguments: fall back on the bytes
        return a.compare(b);
    return order - CSTR_EQUAL;
}

CaseFold build() {
    CaseFold t = ascii_case_fold();
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1) {
        // A byte above 0x7F is only part of a character here: folding it alone would turn
        // it into the code page's default character.
        t.utf8 = GetACP() == CP_UTF8;
        t.compare = system_compare;
        return t;
    }
    for (int c = 0x80; c < 256; ++c) {
        char one = static_cast<char>(c);
        CharLowerBuffA(&one, 1);
        t.lower[c] = static_cast<unsigned char>(one);
    }
    return t;
}

} // namespace

const CaseFold& system_case_fold() {
    static const CaseFold table = build();
    return table;
}

} // namespace velmaro
