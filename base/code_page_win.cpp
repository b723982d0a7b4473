#include "base/code_page_win.h"

#include <windows.h>

namespace velmaro {

namespace {

UINT same_if_active(unsigned cp) {
    return cp == CP_ACP ? GetACP() : cp;
}

} // namespace

std::string convert_code_page(std::string_view text, unsigned from, unsigned to) {
    from = same_if_active(from);
    to = same_if_active(to);
    if (from == to || text.empty())
        return std::string(text);
    const int length = static_cast<int>(text.size());
    const int wide_length = MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(from, 0, text.data(), length, wide.data(), wide_length);
    const int out_length = WideCharToMultiByte(to, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(out_length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wide_length, out.data(), out_length, nullptr, nullptr);
    return out;
}

unsigned legacy_code_page() {
    DWORD cp = 0;
    const int got =
        GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&cp), sizeof cp / sizeof(WCHAR));
    // Unicode-only locales report 0 (CP_ACP), which here would be UTF-8 itself.
    if (got == 0 || cp == CP_ACP || cp == CP_UTF8)
        return 1252;
    return cp;
}

} // namespace velmaro
