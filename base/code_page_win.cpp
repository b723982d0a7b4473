#include "base/code_page_win.h"

#include <windows.h>

#include <limits>

#include "base/error.h"

namespace velmaro {

namespace {

UINT same_if_active(unsigned cp) {
    return cp == CP_ACP ? GetACP() : cp;
}

// The system says 0 both for a failure and for no text: only non-empty text that gives
// nothing has failed.
[[noreturn]] void conversion_failed(const char* pattern, unsigned cp) {
    throw Error(format_message(pattern, static_cast<long long>(cp)));
}

} // namespace

std::wstring to_wide(std::string_view text, unsigned from) {
    from = same_if_active(from);
    if (text.empty())
        return {};
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        conversion_failed("Cannot convert text from code page %d", from);
    const int length = static_cast<int>(text.size());
    const int wide_length = MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    if (wide_length <= 0 ||
        MultiByteToWideChar(from, 0, text.data(), length, wide.data(), wide_length) != wide_length)
        conversion_failed("Cannot convert text from code page %d", from);
    return wide;
}

std::string from_wide(std::wstring_view wide, unsigned to) {
    to = same_if_active(to);
    if (wide.empty())
        return {};
    if (wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        conversion_failed("Cannot convert text to code page %d", to);
    const int wide_length = static_cast<int>(wide.size());
    const int out_length = WideCharToMultiByte(to, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(out_length), '\0');
    if (out_length <= 0 || WideCharToMultiByte(to, 0, wide.data(), wide_length, out.data(), out_length,
                                               nullptr, nullptr) != out_length)
        conversion_failed("Cannot convert text to code page %d", to);
    return out;
}

std::string convert_code_page(std::string_view text, unsigned from, unsigned to) {
    if (same_if_active(from) == same_if_active(to) || text.empty())
        return std::string(text);
    return from_wide(to_wide(text, from), to);
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
