#include "base/wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace velmaro {

TEST(WildcardMatch, ExtensionPatternsIgnoreCase) {
    EXPECT_TRUE(wildcard_match("*.jpg", "holiday.jpg"));
    EXPECT_TRUE(wildcard_match("*.jpg", "HOLIDAY.JPG"));
    EXPECT_TRUE(wildcard_match("*.jpg", "Mixed.JpG"));
    EXPECT_TRUE(wildcard_match("*.jpg", ".jpg")); // "*" may be empty
    EXPECT_TRUE(wildcard_match("*.jpg", "a.b.jpg"));
    EXPECT_TRUE(wildcard_match("*.jpeg", "x.JPEG"));
    EXPECT_FALSE(wildcard_match("*.jpg", "x.jpeg"));
    EXPECT_FALSE(wildcard_match("*.jpeg", "x.jpg"));
    EXPECT_FALSE(wildcard_match("*.jpg", "x.jpgx")); // what an 8.3 short name lets through
    EXPECT_FALSE(wildcard_match("*.jpg", "x.jp"));
    EXPECT_FALSE(wildcard_match("*.jpg", "xjpg"));
    EXPECT_FALSE(wildcard_match("*.bmp", "x.bmp.txt"));
}

TEST(WildcardMatch, QuestionMarkIsExactlyOneCharacter) {
    EXPECT_TRUE(wildcard_match("?.bmp", "a.bmp"));
    EXPECT_FALSE(wildcard_match("?.bmp", ".bmp"));
    EXPECT_FALSE(wildcard_match("?.bmp", "ab.bmp"));
    EXPECT_TRUE(wildcard_match("a?c", "abc"));
    EXPECT_TRUE(wildcard_match("*?", "a"));
    EXPECT_FALSE(wildcard_match("*?", ""));
}

TEST(WildcardMatch, StarsBacktrack) {
    EXPECT_TRUE(wildcard_match("*a*b", "xaxxab"));
    EXPECT_TRUE(wildcard_match("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(wildcard_match("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(wildcard_match("**", "anything"));
    EXPECT_TRUE(wildcard_match("*", ""));
    EXPECT_TRUE(wildcard_match("*.*", "a.b"));
    EXPECT_FALSE(wildcard_match("abc", "abcd"));
    EXPECT_FALSE(wildcard_match("abcd", "abc"));
    // A long run of near-misses must not blow up (each "*" retried once per character).
    std::string name(5000, 'a');
    EXPECT_FALSE(wildcard_match("*a*a*a*a*a*b", name));
}

TEST(WildcardMatch, EmptyPatternMatchesNothing) {
    EXPECT_FALSE(wildcard_match("", "x.jpg"));
    EXPECT_FALSE(wildcard_match("", ""));
}

TEST(WildcardMatch, FoldTableDecidesWhatCountsAsTheSameLetter) {
    // By default only A-Z fold; a code-page table can fold accented capitals as well.
    EXPECT_FALSE(wildcard_match("\xc9t\xe9.jpg", "\xe9t\xe9.jpg")); // É/é in code page 1252
    CaseFold fold = ascii_case_fold();
    fold[0xc9] = 0xe9;
    EXPECT_TRUE(wildcard_match("\xc9t\xe9.jpg", "\xe9t\xe9.jpg", fold));
    EXPECT_TRUE(equal_nocase("\xc9T\xc9", "\xe9t\xe9", fold));
}

// Names in UTF-8 ("café 日本.jpg", "снег.bmp"): the patterns stay ASCII, the names'
// letters beyond ASCII are sequences of several bytes.
TEST(WildcardMatch, Utf8NamesTakeWholeCharacters) {
    CaseFold utf8 = ascii_case_fold();
    utf8.utf8 = true;
    const std::string cafe = "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.jpg";
    const std::string snow = "\xD1\x81\xD0\xBD\xD0\xB5\xD0\xB3.BMP";
    EXPECT_TRUE(wildcard_match("*.jpg", cafe, utf8));
    EXPECT_TRUE(wildcard_match("*.bmp", snow, utf8));
    EXPECT_FALSE(wildcard_match("*.bmp", cafe, utf8));
    // "?" is one letter, however many bytes it takes.
    EXPECT_TRUE(wildcard_match("????.bmp", snow, utf8));
    EXPECT_FALSE(wildcard_match("???.bmp", snow, utf8));
    EXPECT_FALSE(wildcard_match("?????.bmp", snow, utf8));
    EXPECT_TRUE(wildcard_match("caf? ??.jpg", cafe, utf8));
    EXPECT_FALSE(wildcard_match("caf? ???.jpg", cafe, utf8));
    EXPECT_TRUE(wildcard_match("?.jpg", "\xF0\x9F\x93\xB7.jpg", utf8)); // four bytes
    EXPECT_TRUE(wildcard_match("*?.jpg", "\xE5\x86\x99.jpg", utf8));
    EXPECT_FALSE(wildcard_match("??.jpg", "\xE5\x86\x99.jpg", utf8));
    // Stars step back over whole characters too.
    EXPECT_TRUE(wildcard_match("*?\xE6\x9C\xAC.jpg", cafe, utf8));
    EXPECT_TRUE(wildcard_match("*\xC3\xA9*", cafe, utf8));
    EXPECT_FALSE(wildcard_match("*\xC3\xA8*", cafe, utf8));
    // A byte that starts no character counts as one.
    EXPECT_TRUE(wildcard_match("?.jpg", "\xE9.jpg", utf8));
    EXPECT_TRUE(wildcard_match("??.jpg", "\xE5\x86.jpg", utf8));
    // Byte by byte, as in a single-byte code page, "?" would take one byte of a letter.
    EXPECT_FALSE(wildcard_match("????.bmp", snow));
}

TEST(NameOrder, TheSystemsComparisonWhenGiven) {
    // A comparison that knows the letters beyond ASCII: here Cyrillic capitals and small
    // letters are the same, and a different length in bytes does not rule out equality.
    CaseFold fold = ascii_case_fold();
    fold.utf8 = true;
    fold.compare = [](std::string_view a, std::string_view b) {
        auto key = [](std::string_view s) {
            std::string k(s);
            if (k == "\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E" || k == "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE")
                return std::string("foto");
            return k == "K" ? std::string("\xE2\x84\xAA") : k;
        };
        return key(a).compare(key(b));
    };
    EXPECT_TRUE(equal_nocase("\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E", "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE", fold));
    EXPECT_FALSE(equal_nocase("\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E", "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE"));
    EXPECT_TRUE(equal_nocase("K", "\xE2\x84\xAA", fold));
    EXPECT_LT(compare_nocase("a", "b", fold), 0);
}

TEST(SplitMask, KeepsOrderAndEmptyPieces) {
    EXPECT_EQ(split_mask("*.jpg;*.jpeg;*.bmp;"), (std::vector<std::string>{"*.jpg", "*.jpeg", "*.bmp", ""}));
    EXPECT_EQ(split_mask("*.bmp"), (std::vector<std::string>{"*.bmp"}));
    EXPECT_EQ(split_mask(""), (std::vector<std::string>{""}));
    EXPECT_EQ(split_mask(";;a"), (std::vector<std::string>{"", "", "a"}));
}

TEST(NameOrder, AlphabeticalWithoutRegardToCase) {
    EXPECT_EQ(compare_nocase("abc", "ABC"), 0);
    EXPECT_LT(compare_nocase("abc", "ABD"), 0);
    EXPECT_LT(compare_nocase("ab", "ABC"), 0);
    EXPECT_GT(compare_nocase("b", "A"), 0);
    EXPECT_FALSE(equal_nocase("ab", "abc"));
    EXPECT_TRUE(equal_nocase("C:\\Pics", "c:\\PICS"));

    std::vector<std::string> names{"b.jpg", "A.bmp", "c.JPEG", "a.jpg", "B.bmp", "A.JPG"};
    std::sort(names.begin(), names.end(), [](auto& a, auto& b) { return name_less(a, b); });
    EXPECT_EQ(names, (std::vector<std::string>{"A.bmp", "A.JPG", "a.jpg", "B.bmp", "b.jpg", "c.JPEG"}));
    // Names equal but for case still have a strict order, so sorting is repeatable.
    EXPECT_TRUE(name_less("A.JPG", "a.jpg"));
    EXPECT_FALSE(name_less("a.jpg", "A.JPG"));
    EXPECT_FALSE(name_less("a.jpg", "a.jpg"));
}

} // namespace velmaro
