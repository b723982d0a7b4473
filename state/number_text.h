// The settings store keeps numbers as text. These are its two conversions: reading is
// forgiving about leading spaces and hexadecimal forms a user may type by hand, but takes
// the default for anything it cannot read completely.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmaro::state {

// Leading spaces are skipped; then either an optional "+"/"-" and decimal digits, or a
// "$", "x" or "0x" prefix (either letter case, no sign) and hexadecimal digits. The
// whole text must be used and the number must fit in 32 bits; otherwise `fallback`.
// A hexadecimal number is taken as a 32-bit pattern, so "$FFFFFFFF" reads as -1.
std::int32_t parse_number(std::string_view text, std::int32_t fallback);

// Decimal digits with a leading "-" for negative numbers ("0", "17", "-1").
std::string format_number(std::int32_t value);

} // namespace velmaro::state
