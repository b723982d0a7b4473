#include "state/number_text.h"

#include <optional>

namespace velmaro::state {

namespace {

int digit_value(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Accumulates digits up to `limit`; nullopt for no digits, a stray character or overflow.
std::optional<std::uint64_t> read_digits(std::string_view digits, int base, std::uint64_t limit) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        int d = digit_value(c, base);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

bool starts_with_hex_prefix(std::string_view t, std::size_t& prefix_len) {
    if (!t.empty() && (t[0] == '$' || t[0] == 'x' || t[0] == 'X')) {
        prefix_len = 1;
        return true;
    }
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        prefix_len = 2;
        return true;
    }
    return false;
}

} // namespace

std::int32_t parse_number(std::string_view text, std::int32_t fallback) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string_view t = text.substr(i);

    std::size_t prefix_len = 0;
    if (starts_with_hex_prefix(t, prefix_len)) {
        auto v = read_digits(t.substr(prefix_len), 16, 0xFFFFFFFFull);
        return v ? static_cast<std::int32_t>(static_cast<std::uint32_t>(*v)) : fallback;
    }

    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    auto v = read_digits(t, 10, negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (!v)
        return fallback;
    std::int64_t signed_value = negative ? -static_cast<std::int64_t>(*v) : static_cast<std::int64_t>(*v);
    return static_cast<std::int32_t>(signed_value);
}

std::string format_number(std::int32_t value) {
    return std::to_string(value);
}

} // namespace velmaro::state
