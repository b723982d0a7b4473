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

TEST(FolderListPath, ProgramDirectoryAndFileName) {
    EXPECT_EQ(folder_list_path_for_module("C:\\Program Files\\Velmaro\\Velmaro.exe"),
              "C:\\Program Files\\Velmaro\\Directory.drl");
    // A drive root keeps its one separator, with no second one added.
    EXPECT_EQ(folder_list_path_for_module("C:\\Velmaro.exe"), "C:\\Directory.drl");
    EXPECT_EQ(folder_list_path_for_module("\\\\server\\share\\v\\Velmaro.exe"),
              "\\\\server\\share\\v\\Directory.drl");
}

} // namespace velmaro::state
