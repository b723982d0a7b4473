#include "state/folder_list.h"

#include <gtest/gtest.h>

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

TEST(FolderListPath, ProgramDirectoryAndFileName) {
    EXPECT_EQ(folder_list_path_for_module("C:\\Program Files\\Velmaro\\Velmaro.exe"),
              "C:\\Program Files\\Velmaro\\Directory.drl");
    // A drive root keeps its one separator, with no second one added.
    EXPECT_EQ(folder_list_path_for_module("C:\\Velmaro.exe"), "C:\\Directory.drl");
    EXPECT_EQ(folder_list_path_for_module("\\\\server\\share\\v\\Velmaro.exe"),
              "\\\\server\\share\\v\\Directory.drl");
}

} // namespace velmaro::state
