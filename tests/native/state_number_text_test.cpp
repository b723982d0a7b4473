#include "state/number_text.h"

#include <gtest/gtest.h>

namespace velmaro::state {

TEST(ParseNumber, DecimalWithLeadingSpacesAndSign) {
    EXPECT_EQ(parse_number(" 12", 5), 12);
    EXPECT_EQ(parse_number("   -1", 5), -1);
    EXPECT_EQ(parse_number("+17", 5), 17);
    EXPECT_EQ(parse_number("0", 5), 0);
    EXPECT_EQ(parse_number("007", 5), 7);
    EXPECT_EQ(parse_number("2147483647", 5), 2147483647);
    EXPECT_EQ(parse_number("-2147483648", 5), INT32_MIN);
}

TEST(ParseNumber, HexadecimalPrefixesInEitherCase) {
    EXPECT_EQ(parse_number("$1F", 5), 31);
    EXPECT_EQ(parse_number("$1f", 5), 31);
    EXPECT_EQ(parse_number("x1F", 5), 31);
    EXPECT_EQ(parse_number("X10", 5), 16);
    EXPECT_EQ(parse_number("0x1F", 5), 31);
    EXPECT_EQ(parse_number("0XaB", 5), 0xAB);
    EXPECT_EQ(parse_number("  $7FFFFFFF", 5), INT32_MAX);
    // Eight hexadecimal digits are a 32-bit pattern.
    EXPECT_EQ(parse_number("$FFFFFFFF", 5), -1);
    EXPECT_EQ(parse_number("$80000000", 5), INT32_MIN);
}

TEST(ParseNumber, AnythingNotReadWhollyGivesTheDefault) {
    EXPECT_EQ(parse_number("12 ", 5), 5);
    EXPECT_EQ(parse_number("", 5), 5);
    EXPECT_EQ(parse_number("   ", 5), 5);
    EXPECT_EQ(parse_number("abc", 5), 5);
    EXPECT_EQ(parse_number("1a", 5), 5);
    EXPECT_EQ(parse_number("-", 5), 5);
    EXPECT_EQ(parse_number("+-1", 5), 5);
    EXPECT_EQ(parse_number("$", 5), 5);
    EXPECT_EQ(parse_number("0x", 5), 5);
    EXPECT_EQ(parse_number("$1G", 5), 5);
    EXPECT_EQ(parse_number("-$1F", 5), 5);
    EXPECT_EQ(parse_number("\t12", 5), 5);
    EXPECT_EQ(parse_number("1.5", 5), 5);
}

TEST(ParseNumber, BeyondThirtyTwoBitsGivesTheDefault) {
    EXPECT_EQ(parse_number("2147483648", 5), 5);
    EXPECT_EQ(parse_number("-2147483649", 5), 5);
    EXPECT_EQ(parse_number("99999999999999999999999", 5), 5);
    EXPECT_EQ(parse_number("$100000000", 5), 5);
    EXPECT_EQ(parse_number("0x1FFFFFFFF", 5), 5);
}

TEST(FormatNumber, PlainDecimal) {
    EXPECT_EQ(format_number(0), "0");
    EXPECT_EQ(format_number(17), "17");
    EXPECT_EQ(format_number(-1), "-1");
    EXPECT_EQ(format_number(INT32_MIN), "-2147483648");
    for (std::int32_t v : {0, 1, -1, 42, -77, INT32_MAX, INT32_MIN})
        EXPECT_EQ(parse_number(format_number(v), 5), v);
}

} // namespace velmaro::state
