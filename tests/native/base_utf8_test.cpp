#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace velmaro {

using namespace std::string_literals;

TEST(Utf8Validity, WellFormedTextOfEveryLength) {
    EXPECT_TRUE(is_valid_utf8(""));
    EXPECT_TRUE(is_valid_utf8("C:\\Pictures"));
    EXPECT_TRUE(is_valid_utf8("caf\xC3\xA9"));                              // 2 bytes: é
    EXPECT_TRUE(is_valid_utf8("\xE5\x86\x99\xE7\x9C\x9F"));                 // 3 bytes: 写真
    EXPECT_TRUE(is_valid_utf8("\xF0\x9F\x93\xB7"));                         // 4 bytes: U+1F4F7
    EXPECT_TRUE(is_valid_utf8("\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF")); // range edges
    EXPECT_TRUE(is_valid_utf8("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"));         // U+10000, U+10FFFF
    EXPECT_TRUE(is_valid_utf8("\xED\x9F\xBF\xEE\x80\x80"));                 // around the surrogates
}

TEST(Utf8Validity, InvalidSequences) {
    EXPECT_FALSE(is_valid_utf8("caf\xE9"));  // é in code page 1252
    EXPECT_FALSE(is_valid_utf8("\xC4rger")); // Ä in code page 1252, then ASCII
    EXPECT_FALSE(is_valid_utf8("\x80"));     // a lone continuation byte
    EXPECT_FALSE(is_valid_utf8("a\xBF"
                               "b"));
    EXPECT_FALSE(is_valid_utf8("\xC3")); // cut short at the end
    EXPECT_FALSE(is_valid_utf8("\xE5\x86"));
    EXPECT_FALSE(is_valid_utf8("\xF0\x9F\x93"));
    EXPECT_FALSE(is_valid_utf8("\xE5\x86"
                               "A"));            // cut short by an ASCII byte
    EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80")); // a UTF-16 surrogate
    EXPECT_FALSE(is_valid_utf8("\xED\xBF\xBF"));
    EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(is_valid_utf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(is_valid_utf8("\xFE"));
    EXPECT_FALSE(is_valid_utf8("\xFF"));
}

TEST(Utf8Validity, OverlongFormsAreInvalid) {
    EXPECT_FALSE(is_valid_utf8("\xC0\x80")); // NUL in two bytes
    EXPECT_FALSE(is_valid_utf8("\xC0\xAF")); // "/" in two bytes
    EXPECT_FALSE(is_valid_utf8("\xC1\xBF"));
    EXPECT_FALSE(is_valid_utf8("\xE0\x80\xAF"));     // "/" in three bytes
    EXPECT_FALSE(is_valid_utf8("\xE0\x9F\xBF"));     // U+07FF in three bytes
    EXPECT_FALSE(is_valid_utf8("\xF0\x80\x80\xAF")); // "/" in four bytes
    EXPECT_FALSE(is_valid_utf8("\xF0\x8F\xBF\xBF")); // U+FFFF in four bytes
}

TEST(Utf8Validity, NulIsACharacter) {
    EXPECT_TRUE(is_valid_utf8("a\0b"s));
    EXPECT_TRUE(is_valid_utf8("\0"s));
    EXPECT_FALSE(is_valid_utf8("\xC3\0"s)); // a NUL does not end a sequence
}

TEST(Utf8CharLength, WholeCharactersAndSingleBadBytes) {
    const std::string s = "a\xC3\xA9\xE5\x86\x99\xF0\x9F\x93\xB7\xE9"
                          "b\xE5\x86";
    EXPECT_EQ(utf8_char_length(s, 0), 1u);
    EXPECT_EQ(utf8_char_length(s, 1), 2u);
    EXPECT_EQ(utf8_char_length(s, 3), 3u);
    EXPECT_EQ(utf8_char_length(s, 6), 4u);
    EXPECT_EQ(utf8_char_length(s, 7), 1u);  // a continuation byte on its own
    EXPECT_EQ(utf8_char_length(s, 10), 1u); // é in code page 1252
    EXPECT_EQ(utf8_char_length(s, 12), 1u); // a sequence cut short at the end
}

} // namespace velmaro
