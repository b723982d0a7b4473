#include "state/folder_list.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmaro::state {

using List = std::vector<std::string>;
using namespace std::string_literals;

TEST(FolderListCodec, CrLfRoundTrip) {
    EXPECT_EQ(serialize_folder_list({"A", "B"}), "A\r\nB\r\n");
    EXPECT_EQ(parse_folder_list("A\r\nB\r\n"), (List{"A", "B"}));
    List paths{"C:\\Pictures", "D:\\My Photos\\2004", "E:\\"};
    EXPECT_EQ(parse_folder_list(serialize_folder_list(paths)), paths);
}

TEST(FolderListCodec, LineEndsOfEveryKind) {
    EXPECT_EQ(parse_folder_list("A\r\nB"), (List{"A", "B"}));
    EXPECT_EQ(parse_folder_list("A\nB\n"), (List{"A", "B"}));
    EXPECT_EQ(parse_folder_list("A\rB\r"), (List{"A", "B"}));
    EXPECT_EQ(parse_folder_list("A\rB\nC\r\nD"), (List{"A", "B", "C", "D"}));
    // LF CR is two line ends, so an empty line between.
    EXPECT_EQ(parse_folder_list("A\n\rB"), (List{"A", "", "B"}));
    EXPECT_EQ(serialize_folder_list(parse_folder_list("A\nB\rC")), "A\r\nB\r\nC\r\n");
}

TEST(FolderListCodec, EmptyLinesAndEmptyFiles) {
    EXPECT_EQ(parse_folder_list(""), List{});
    EXPECT_EQ(serialize_folder_list({}), "");
    EXPECT_EQ(parse_folder_list("\r\n"), List{""});
    EXPECT_EQ(parse_folder_list("A\r\n\r\nB\r\n"), (List{"A", "", "B"}));
    EXPECT_EQ(serialize_folder_list({"A", "", "B"}), "A\r\n\r\nB\r\n");
    EXPECT_EQ(parse_folder_list("A\r\n\r\n"), (List{"A", ""}));
}

TEST(FolderListCodec, EntriesTakenVerbatim) {
    EXPECT_EQ(parse_folder_list("A\r\nA\r\n"), (List{"A", "A"}));
    EXPECT_EQ(parse_folder_list("  C:\\x  \r\n\tD\r\n"), (List{"  C:\\x  ", "\tD"}));
    EXPECT_EQ(parse_folder_list("C:\\Bilder \xE4\xF6\r\n"), (List{"C:\\Bilder \xE4\xF6"}));
}

TEST(FolderListCodec, NulEndsTheText) {
    EXPECT_EQ(parse_folder_list("A\r\nB\0C\r\nD\r\n"s), (List{"A", "B"}));
    EXPECT_EQ(parse_folder_list("A\r\n\0B\r\n"s), List{"A"});
    EXPECT_EQ(parse_folder_list("\0A\r\n"s), List{});
}

// Which code page a list file is read in: UTF-8 as this program writes it, or, for
// bytes that cannot be UTF-8, the legacy code page an older list was written in.
TEST(FolderListEncoding, Utf8OrLegacy) {
    EXPECT_TRUE(folder_list_is_utf8(""));
    EXPECT_TRUE(folder_list_is_utf8("C:\\Pictures\r\nD:\\\r\n"));
    EXPECT_TRUE(folder_list_is_utf8("C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE \xE5\x86\x99\xE7\x9C\x9F\r\n"));
    EXPECT_FALSE(folder_list_is_utf8("C:\\Caf\xE9\r\nD:\\\xC4rger\r\n")); // code page 1252
    EXPECT_FALSE(folder_list_is_utf8("C:\\ok\r\nC:\\\xC3\r\n"));          // cut short before CR
    EXPECT_FALSE(folder_list_is_utf8("C:\\\xC0\xAF\r\n"));                // an overlong "/"
    EXPECT_FALSE(folder_list_is_utf8("C:\\\xED\xA0\x80\r\n"));            // a surrogate
}

TEST(FolderListEncoding, DecidedOnTheTextBeforeTheFirstNul) {
    // What follows a NUL is not part of the list, so it cannot make the list legacy text.
    EXPECT_TRUE(folder_list_is_utf8("C:\\Caf\xC3\xA9\r\n\0\xE9\xFF"s));
    EXPECT_FALSE(folder_list_is_utf8("C:\\Caf\xE9\r\n\0C:\\Caf\xC3\xA9"s));
    EXPECT_TRUE(folder_list_is_utf8("\0\xFF"s));
    EXPECT_EQ(folder_list_text("A\r\n\0B"s), "A\r\n");
    EXPECT_EQ(folder_list_text("A\r\n"), "A\r\n");
}

// Code page 1252's upper half as Latin-1 (close enough for these bytes) and a few folders
// that exist: what the list reader asks of the system.
ListDecoding latin1_with(std::vector<std::string> folders) {
    ListDecoding d;
    d.legacy_to_utf8 = [](std::string_view text) {
        std::string out;
        for (unsigned char c : text)
            out += c < 0x80 ? std::string(1, char(c))
                            : std::string{char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
        return out;
    };
    d.folder_exists = [folders](const std::string& f) {
        return std::find(folders.begin(), folders.end(), f) != folders.end();
    };
    return d;
}

TEST(FolderListDecoding, MarksAndEncodings) {
    const std::string cafe = "C:\\Caf\xC3\xA9"; // "C:\Café" in UTF-8
    struct Case {
        std::string bytes;
        List entries;
        const char* what;
    } cases[] = {
        {"\xEF\xBB\xBF" + cafe + "\r\nD:\\\r\n", {cafe, "D:\\"}, "a UTF-8 mark is no part of the first name"},
        {"\xEF\xBB\xBF"
         "C:\\\xFF\r\n",
         {"C:\\\xEF\xBF\xBD"},
         "after a UTF-8 mark a bad byte is U+FFFD"},
        {"\xFF\xFE"
         "C\0:\0\\\0\xE9\0\r\0\n\0D\0\0\0E\0"s,
         {"C:\\\xC3\xA9", "D"},
         "UTF-16 LE up to its NUL"},
        {"\xFE\xFF\0C\0:\0\\\x4E\x2D\0\r\0\n"s, {"C:\\\xE4\xB8\xAD"}, "UTF-16 BE"},
        {"\xFF\xFE=\xD8\0\xDEx\0\0\xD8"s, {"\xF0\x9F\x98\x80x\xEF\xBF\xBD"}, "a pair, then a lone surrogate"},
        {"C:\\Caf\xE9\r\n", {cafe}, "not UTF-8: legacy text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decode_folder_list(c.bytes, latin1_with({})), c.entries) << c.what;
}

TEST(FolderListDecoding, AmbiguousEntriesTakeTheReadingWhoseFolderExists) {
    // "FotosÃÂ·" ("FotosÂ·" in code page 1252) is also UTF-8 for "Fotos·".
    const std::string legacy_bytes = "D:\\Fotos\xC2\xB7";
    const std::string as_legacy = "D:\\Fotos\xC3\x82\xC2\xB7", as_utf8 = legacy_bytes;
    const std::string file = legacy_bytes + "\r\n" + legacy_bytes + "\r\nE:\\\r\n";
    EXPECT_EQ(decode_folder_list(file, latin1_with({as_legacy})), (List{as_legacy, as_legacy, "E:\\"}));
    EXPECT_EQ(decode_folder_list(file, latin1_with({as_utf8})), (List{as_utf8, as_utf8, "E:\\"}));
    EXPECT_EQ(decode_folder_list(file, latin1_with({as_utf8, as_legacy})), (List{as_utf8, as_utf8, "E:\\"}))
        << "UTF-8 first when both exist";
    // Once saved (in UTF-8), the list names the same folder at every later start.
    List once = decode_folder_list(file, latin1_with({as_legacy}));
    for (int start = 0; start < 3; ++start)
        once = decode_folder_list(serialize_folder_list(once), latin1_with({as_legacy}));
    EXPECT_EQ(once, (List{as_legacy, as_legacy, "E:\\"}));
}

TEST(FolderListPath, ProgramDirectoryAndFileName) {
    EXPECT_EQ(folder_list_path_for_module("C:\\Program Files\\Velmaro\\Velmaro.exe"),
              "C:\\Program Files\\Velmaro\\Directory.drl");
    // A drive root keeps its one separator, with no second one added.
    EXPECT_EQ(folder_list_path_for_module("C:\\Velmaro.exe"), "C:\\Directory.drl");
    EXPECT_EQ(folder_list_path_for_module("\\\\server\\share\\v\\Velmaro.exe"),
              "\\\\server\\share\\v\\Directory.drl");
}

} // namespace velmaro::state
