// How names join folders and which folder holds a file: the rules every path in the
// program goes through (staged file, list file, file list lines).
#include "base/path.h"

#include <gtest/gtest.h>

namespace velmaro {
namespace {

TEST(Path, JoinAddsOneSeparatorOnlyWhenMissing) {
    EXPECT_EQ(join_path("C:\\", "a.jpg"), "C:\\a.jpg");
    EXPECT_EQ(join_path("C:\\Pics", "a.jpg"), "C:\\Pics\\a.jpg");
    EXPECT_EQ(join_path("\\\\server\\share\\", "a.jpg"), "\\\\server\\share\\a.jpg");
    EXPECT_EQ(join_path("C:/Pics/", "a.jpg"), "C:/Pics/a.jpg");
    EXPECT_EQ(join_path("", "a.jpg"), "a.jpg");
}

TEST(Path, FolderOfKeepsADriveRootsSeparator) {
    EXPECT_EQ(folder_of("C:\\Velmaro.exe"), "C:\\");
    EXPECT_EQ(folder_of("C:\\Tools\\Velmaro.exe"), "C:\\Tools");
    EXPECT_EQ(folder_of("\\\\server\\share\\Velmaro.exe"), "\\\\server\\share");
    EXPECT_EQ(folder_of("Velmaro.exe"), "");
    EXPECT_EQ(path_beside("C:\\Velmaro.exe", "Directory.drl"), "C:\\Directory.drl");
    EXPECT_EQ(path_beside("D:\\Apps\\Velmaro.exe", "Directory.drl"), "D:\\Apps\\Directory.drl");
    EXPECT_EQ(path_beside("Velmaro.exe", "Directory.drl"), "Directory.drl");
}

} // namespace
} // namespace velmaro
