#include "gui/file_list_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "widgets_host.h"

namespace velmaro::gui {
namespace {

using test::TempFolder;
using test::WidgetsHost;

std::vector<std::string> lines(const FileList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.item(i));
    return out;
}

std::string upper(std::string s) {
    CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

class FileListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.on_click = [this] { ++clicks; };
        list.create(host.hwnd(), 8, 184, 185, 154, nullptr);
    }
    WidgetsHost host;
    FileList list;
    int clicks = 0;
};

TEST_F(FileListTest, ListsPlainPictureFilesInCaseInsensitiveOrder) {
    TempFolder dir("velmaro-fl-list");
    dir.file("b.JPG");
    dir.file("a.jpeg");
    dir.file("C.Bmp");
    dir.file("A.JPEG.bmp");
    dir.file("readonly.jpg", FILE_ATTRIBUTE_READONLY);
    dir.file("archived.bmp", FILE_ATTRIBUTE_ARCHIVE);
    dir.file("hidden.jpg", FILE_ATTRIBUTE_HIDDEN);
    dir.file("system.bmp", FILE_ATTRIBUTE_SYSTEM);
    dir.file("notes.txt");
    dir.file("picture.png");
    dir.file("x.jpgx");
    dir.file("y.bmp.old");
    dir.folder("x.jpg");
    dir.folder("folder.bmp");

    list.show_folder(dir.path());
    EXPECT_EQ(list.current_folder(), dir.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"a.jpeg", "A.JPEG.bmp", "archived.bmp", "b.JPG", "C.Bmp",
                                                     "readonly.jpg"}));
    EXPECT_EQ(list.item_index(), -1);
    EXPECT_EQ(list.selected_file_path(), "");
}

TEST_F(FileListTest, AnotherMaskListsAnewTheSameOneKeepsTheSelection) {
    TempFolder dir("velmaro-fl-mask");
    dir.file("b.jpg");
    dir.file("a.PNG");
    dir.file("c.webp");
    list.show_folder(dir.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"b.jpg"}));
    list.set_mask(
        "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.tif;*.tiff;*.jxr;*.wdp;*.webp;*.heic;*.heif;*.avif;*.jxl;");
    EXPECT_EQ(lines(list), (std::vector<std::string>{"a.PNG", "b.jpg", "c.webp"}));
    list.set_item_index(1);
    list.set_mask(list.mask());
    EXPECT_EQ(list.item_index(), 1);
    list.set_mask(FileList::kDefaultMask);
    EXPECT_EQ(lines(list), (std::vector<std::string>{"b.jpg"}));
    EXPECT_EQ(list.item_index(), -1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(FileListTest, NamesBeyondAsciiSortAsTheSystemListsThem) {
    // Code page 1252: "\xFC" is u-umlaut, "\xC9" E-acute, "\xE9" e-acute. An accented
    // letter sorts with its plain one, as in the system's own lists.
    TempFolder dir("velmaro-fl-locale");
    dir.file("zebra.bmp");
    dir.file("\xFC"
             "ber.bmp");
    dir.file("Apple.jpg");
    dir.file("\xC9t\xE9.jpg");
    dir.file("eagle.jpg");
    dir.file("Ufo.jpg");
    list.show_folder(dir.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"Apple.jpg", "eagle.jpg", "\xC9t\xE9.jpg",
                                                     "\xFC"
                                                     "ber.bmp",
                                                     "Ufo.jpg", "zebra.bmp"}));
}

TEST(FileNameOrder, IgnoresCaseAndKeepsAFixedOrderForNamesEqualButForCase) {
    EXPECT_TRUE(file_name_less("\xFC"
                               "ber.bmp",
                               "zebra.bmp"));
    EXPECT_FALSE(file_name_less("zebra.bmp", "\xFC"
                                             "ber.bmp"));
    EXPECT_TRUE(file_name_less("apple.jpg", "Banana.jpg"));
    // Equal but for case, accented letters too: by their bytes.
    EXPECT_TRUE(file_name_less("\xC9T\xC9.JPG", "\xE9t\xE9.jpg"));
    EXPECT_FALSE(file_name_less("\xE9t\xE9.jpg", "\xC9T\xC9.JPG"));
    EXPECT_TRUE(file_name_less("A.jpg", "a.jpg"));
    EXPECT_FALSE(file_name_less("a.jpg", "A.jpg"));
    EXPECT_FALSE(file_name_less("a.jpg", "a.jpg"));
}

TEST_F(FileListTest, ShortNameMatchesOfTheSystemSearchAreDropped) {
    // "*.jpg" also matches the 8.3 short name of "longer name.jpgx" when the file system
    // makes one; whether or not it does, the long name decides.
    TempFolder dir("velmaro-fl-short");
    dir.file("longer name.jpgx");
    dir.file("abcdefghijk.jpegx");
    dir.file("ok.jpg");
    list.show_folder(dir.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"ok.jpg"}));

    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir / "*.jpg").c_str(), &fd);
    int system_matches = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            ++system_matches;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    // The trap is real here: the system's own search for "*.jpg" also returns the long
    // name whose 8.3 name ends in ".JPG", which the list above left out.
    EXPECT_EQ(system_matches, 2) << "the short name of \"longer name.jpgx\" matches *.jpg";
}

TEST_F(FileListTest, SelectionIndexAndSelectedPath) {
    TempFolder dir("velmaro-fl-sel");
    dir.file("one.jpg");
    dir.file("two.bmp");
    list.show_folder(dir.path());
    ASSERT_EQ(list.count(), 2);

    list.set_item_index(1);
    EXPECT_EQ(list.item_index(), 1);
    EXPECT_EQ(list.selected_file_path(), dir / "two.bmp");
    list.set_item_index(2);
    EXPECT_EQ(list.item_index(), -1);
    list.set_item_index(0);
    list.set_item_index(-5);
    EXPECT_EQ(list.item_index(), -1);
    EXPECT_EQ(list.selected_file_path(), "");
    EXPECT_THROW(list.item(2), ListIndexError);
    EXPECT_THROW(list.item(-1), ListIndexError);
    EXPECT_EQ(clicks, 0) << "setting the index from the program is not a click";
}

TEST_F(FileListTest, ShowFolderRuleOneEmptyOrSelectedFile) {
    TempFolder dir("velmaro-fl-rule1");
    dir.file("one.jpg");
    dir.file("two.jpg");
    list.show_folder(dir.path());
    list.set_item_index(1);

    dir.file("three.jpg"); // a re-listing would show it and drop the selection
    list.show_folder("");
    list.show_folder(upper(dir / "two.jpg"));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.item_index(), 1);
    EXPECT_EQ(list.current_folder(), dir.path());
}

TEST_F(FileListTest, ShowFolderRuleTwoCurrentFolderDoesNothing) {
    TempFolder dir("velmaro-fl-rule2");
    dir.file("one.jpg");
    dir.file("two.jpg");
    list.show_folder(dir.path());
    list.set_item_index(0);
    dir.file("three.jpg");

    list.show_folder(upper(dir.path()));
    list.show_folder(dir.path() + "\\");
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.item_index(), 0);

    // Emptied lines stay empty for the same folder; only another folder lists again.
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.current_folder(), dir.path());
    list.show_folder(dir.path());
    EXPECT_EQ(list.count(), 0);
}

TEST_F(FileListTest, ShowFolderRuleThreeExistingMissingAndVirtual) {
    TempFolder a("velmaro-fl-rule3a");
    TempFolder b("velmaro-fl-rule3b");
    a.file("a1.jpg");
    b.file("b1.bmp");
    b.file("b2.bmp");
    list.show_folder(a.path());
    list.set_item_index(0);

    list.show_folder(b.path());
    EXPECT_EQ(list.current_folder(), b.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"b1.bmp", "b2.bmp"}));
    EXPECT_EQ(list.item_index(), -1);

    // A path that names no folder keeps the current one but lists it anew.
    list.set_item_index(1);
    b.file("b3.bmp");
    list.show_folder(b / "no such folder");
    EXPECT_EQ(list.current_folder(), b.path());
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.item_index(), -1);

    // The folder tree hands over a display name for a virtual folder.
    list.set_item_index(0);
    list.show_folder("My Computer");
    EXPECT_EQ(list.current_folder(), b.path());
    EXPECT_EQ(list.item_index(), -1);
    EXPECT_EQ(list.count(), 3);

    // A file is not a folder either.
    list.show_folder(b / "b1.bmp.txt");
    EXPECT_EQ(list.current_folder(), b.path());
}

TEST_F(FileListTest, FolderThatGoesAwayCanBeRemovedWhileShown) {
    TempFolder parent("velmaro-fl-gone");
    std::string gone = parent.folder("gone");
    parent.file("gone\\p.jpg");
    parent.file("top.jpg");
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);

    list.show_folder(gone);
    ASSERT_EQ(list.count(), 1);
    // Listing does not make it the working directory, so nothing holds the folder.
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    DeleteFileA((gone + "\\p.jpg").c_str());
    ASSERT_TRUE(RemoveDirectoryA(gone.c_str()));

    list.show_folder(parent.path() + "\\missing");
    EXPECT_EQ(list.current_folder(), gone);
    EXPECT_EQ(list.count(), 0);
    list.show_folder(parent.path());
    EXPECT_EQ(lines(list), (std::vector<std::string>{"top.jpg"}));
}

TEST_F(FileListTest, OnlyAFullPathNamesAFolder) {
    // The tree hands over a virtual folder's display name; the current folder happens to
    // have a subfolder of that name. The name still names no folder.
    TempFolder dir("velmaro-fl-rel");
    dir.folder("Recycle Bin");
    dir.file("Recycle Bin\\r.jpg");
    dir.folder("sub");
    dir.file("sub\\s.jpg");
    dir.file("top.jpg");
    list.show_folder(dir.path());
    for (const char* name : {"Recycle Bin", "sub", "sub\\", ".", ".."}) {
        list.set_item_index(0);
        list.show_folder(name);
        EXPECT_EQ(list.current_folder(), dir.path()) << name;
        EXPECT_EQ(lines(list), (std::vector<std::string>{"top.jpg"})) << name;
        EXPECT_EQ(list.item_index(), -1) << name << ": listed anew";
    }
    // A full path with "." and ".." in it is still a full path.
    list.show_folder(dir / "sub\\..\\Recycle Bin");
    EXPECT_EQ(list.current_folder(), dir / "Recycle Bin");
}

TEST_F(FileListTest, DriveRootHasNoDoubledSeparator) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string root = std::string(windows, 3); // "C:\"
    std::string name = "velmaro-root-" + std::to_string(GetCurrentProcessId()) + ".jpg";
    HANDLE h = CreateFileA((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "the system drive's root is not writable here";
    CloseHandle(h);

    list.show_folder(root);
    EXPECT_EQ(list.current_folder(), root);
    auto names = lines(list);
    auto at = std::find(names.begin(), names.end(), name);
    ASSERT_NE(at, names.end());
    list.set_item_index(static_cast<int>(at - names.begin()));
    EXPECT_EQ(list.selected_file_path(), root + name);
    DeleteFileA((root + name).c_str());
}

TEST_F(FileListTest, UserChoiceRaisesClick) {
    TempFolder dir("velmaro-fl-click");
    dir.file("one.jpg");
    dir.file("two.jpg");
    dir.file("three.jpg");
    list.show_folder(dir.path());

    // Second line, clicked with the mouse (lines are 15 pixels high).
    LPARAM at = MAKELPARAM(20, FileList::kItemHeight + 5);
    SendMessageA(list.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list.hwnd(), WM_LBUTTONUP, 0, at);
    WidgetsHost::pump();
    EXPECT_EQ(list.item_index(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.selected_file_path(), dir / "three.jpg");

    SetFocus(list.hwnd());
    SendMessageA(list.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    WidgetsHost::pump();
    EXPECT_EQ(list.item_index(), 2);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FileListTest, WholeLinesOfFifteenPixels) {
    EXPECT_EQ(SendMessageA(list.hwnd(), LB_GETITEMHEIGHT, 0, 0), FileList::kItemHeight);
    RECT client;
    GetClientRect(list.hwnd(), &client);
    EXPECT_EQ(client.bottom % FileList::kItemHeight, 0) << client.bottom;

    FileList odd;
    odd.create(host.hwnd(), 0, 0, 100, 160, nullptr);
    GetClientRect(odd.hwnd(), &client);
    EXPECT_EQ(client.bottom % FileList::kItemHeight, 0) << client.bottom;
    EXPECT_LE(client.bottom, 160 - 4);
}

TEST(FileListStart, StartsInTheWorkingDirectory) {
    TempFolder dir("velmaro-fl-start");
    dir.file("w.bmp");
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA(dir.path().c_str());
    FileList list;
    SetCurrentDirectoryA(before);
    EXPECT_EQ(list.current_folder(), dir.path());
    EXPECT_EQ(list.count(), 0) << "nothing listed before the window exists";

    WidgetsHost host;
    list.create(host.hwnd(), 0, 0, 100, 100, nullptr);
    EXPECT_EQ(lines(list), (std::vector<std::string>{"w.bmp"}));
}

} // namespace
} // namespace velmaro::gui
