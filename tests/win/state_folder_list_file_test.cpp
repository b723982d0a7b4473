#include "state/folder_list_file_win.h"

#include <gtest/gtest.h>

#include "base/code_page_win.h"
#include "base/error.h"
#include "state/folder_list.h"
#include "state_temp_dir.h"

namespace velmaro::state {

using testing::read_file;
using testing::TempDir;
using testing::write_file;
using List = std::vector<std::string>;

namespace {

std::string error_text(const std::function<void()>& f) {
    try {
        f();
    } catch (const FileError& e) {
        return e.what();
    }
    return "(no file error)";
}

} // namespace

TEST(FolderListFile, BesideTheProgramWhateverTheCurrentDirectory) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string exe_dir(exe, std::string(exe).find_last_of('\\'));

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    TempDir elsewhere;
    SetCurrentDirectoryA(elsewhere.path().c_str());
    std::string path = folder_list_file_path();
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(path, exe_dir + "\\Directory.drl");
}

TEST(FolderListFile, MissingFileOrAFolderOfThatName) {
    TempDir dir;
    EXPECT_FALSE(load_folder_list_file(dir.file("Directory.drl")));
    CreateDirectoryA(dir.file("Directory.drl").c_str(), nullptr);
    EXPECT_FALSE(load_folder_list_file(dir.file("Directory.drl")));
}

TEST(FolderListFile, AFileThatCannotBeExaminedIsNoMissingFile) {
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    write_file(path, "C:\\Kept\r\n");
    // The system refuses to say whether the file is there: the user's list may be
    // there, so the load fails and no "not found" box invites an empty list's save.
    ProbePath refused = [](const std::string&) {
        return PathProbe{INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED};
    };
    EXPECT_EQ(error_text([&] { load_folder_list_file(path, refused); }), "Cannot open file " + path);
    ProbePath bad_net = [](const std::string&) {
        return PathProbe{INVALID_FILE_ATTRIBUTES, ERROR_BAD_NETPATH};
    };
    EXPECT_EQ(error_text([&] { load_folder_list_file(path, bad_net); }), "Cannot open file " + path);
    // Surely missing stays "not found".
    ProbePath gone = [](const std::string&) {
        return PathProbe{INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND};
    };
    EXPECT_FALSE(load_folder_list_file(path, gone).has_value());
    // The system's own answer for a file that is there reads it.
    EXPECT_EQ(load_folder_list_file(path), (List{"C:\\Kept"}));
}

TEST(FolderListFile, LoadsEveryLineEnd) {
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    write_file(path, "C:\\A\r\n\r\nD:\\B\nE:\\C\rF:\\D");
    auto list = load_folder_list_file(path);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (List{"C:\\A", "", "D:\\B", "E:\\C", "F:\\D"}));

    write_file(path, "");
    list = load_folder_list_file(path);
    ASSERT_TRUE(list) << "an empty file is a list, not a missing file";
    EXPECT_TRUE(list->empty());
}

TEST(FolderListFile, ReadersShareWritersDoNot) {
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    write_file(path, "C:\\A\r\n");

    HANDLE reader =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    auto list = load_folder_list_file(path);
    CloseHandle(reader);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, List{"C:\\A"});

    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error_text([&] { load_folder_list_file(path); }), "Cannot open file " + path);
    CloseHandle(writer);
}

TEST(FolderListFile, SavesExactlyTheFormat) {
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    save_folder_list_file(path, {"A", "B"});
    EXPECT_EQ(read_file(path), "A\r\nB\r\n");

    write_file(path, "C:\\a much longer earlier list\r\nC:\\x\r\nC:\\y\r\n");
    save_folder_list_file(path, {"C:\\P", "", "C:\\P"});
    EXPECT_EQ(read_file(path), "C:\\P\r\n\r\nC:\\P\r\n");
    EXPECT_EQ(*load_folder_list_file(path), (List{"C:\\P", "", "C:\\P"}));

    save_folder_list_file(path, {});
    EXPECT_EQ(read_file(path), "");
    EXPECT_EQ(dir.names(), List{"Directory.drl"}) << "no temporary file left behind";

    std::string fresh = dir.file("new.drl");
    save_folder_list_file(fresh, {"Z:\\"});
    EXPECT_EQ(read_file(fresh), "Z:\\\r\n");
}

TEST(FolderListFile, AFailedSaveLeavesTheOldList) {
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    const std::string old_list = "C:\\Old\r\nD:\\Older\r\n";
    write_file(path, old_list);

    // The disk fills up half way through the new list.
    FileWriter half_then_full = [](HANDLE file, const std::uint8_t* data, DWORD size) {
        DWORD written = 0;
        WriteFile(file, data, size / 2, &written, nullptr);
        return false;
    };
    EXPECT_EQ(error_text([&] {
                  save_folder_list_file(path, {"C:\\New", "D:\\Newer"}, half_then_full);
              }),
              "Cannot write file " + path);
    EXPECT_EQ(read_file(path), old_list);
    EXPECT_EQ(dir.names(), List{"Directory.drl"});

    // While the new list is written, the old one is still whole for any reader.
    std::string seen_meanwhile;
    FileWriter looking = [&](HANDLE file, const std::uint8_t* data, DWORD size) {
        seen_meanwhile = read_file(path);
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size;
    };
    save_folder_list_file(path, {"C:\\New"}, looking);
    EXPECT_EQ(seen_meanwhile, old_list);
    EXPECT_EQ(read_file(path), "C:\\New\r\n");
}

TEST(FolderListFile, FilesThatCannotBeCreated) {
    TempDir dir;
    std::string in_missing_folder = dir.file("gone\\Directory.drl");
    EXPECT_EQ(error_text([&] { save_folder_list_file(in_missing_folder, {"A"}); }),
              "Cannot create file " + in_missing_folder);

    // A program holding the list open without letting it be replaced.
    std::string held = dir.file("Directory.drl");
    write_file(held, "C:\\Kept\r\n");
    HANDLE holder =
        CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error_text([&] { save_folder_list_file(held, {"A"}); }), "Cannot create file " + held);
    CloseHandle(holder);
    EXPECT_EQ(read_file(held), "C:\\Kept\r\n");
    EXPECT_EQ(dir.names(), List{"Directory.drl"}) << "the new list is removed again";

    // A folder in the file's place.
    std::string folder = dir.file("sub.drl");
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_EQ(error_text([&] { save_folder_list_file(folder, {"A"}); }), "Cannot create file " + folder);
    DWORD attrs = GetFileAttributesA(folder.c_str());
    EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace velmaro::state

namespace velmaro::state {

// "C:\Café Ärger" in the program's own code page: UTF-8 where the system honours the
// manifest, code page 1252 here (the tests run without it, as on an older system).
std::string cafe_in_active_code_page() {
    return GetACP() == CP_UTF8 ? "C:\\Caf\xC3\xA9 \xC3\x84rger" : "C:\\Caf\xE9 \xC4rger";
}

TEST(FolderListFileText, Utf8ListsAndLegacyListsBothLoad) {
    ASSERT_EQ(legacy_code_page(), 1252u) << "the test prefix runs in an English locale";
    const std::string cafe = cafe_in_active_code_page();
    TempDir dir;
    std::string path = dir.file("Directory.drl");

    write_file(path, "C:\\Caf\xC3\xA9 \xC3\x84rger\r\nD:\\\r\n");
    EXPECT_EQ(*load_folder_list_file(path), (List{cafe, "D:\\"})) << "UTF-8, as the program writes it";

    write_file(path, "C:\\Caf\xE9 \xC4rger\r\nD:\\\r\n");
    EXPECT_EQ(*load_folder_list_file(path), (List{cafe, "D:\\"})) << "code page 1252, as older lists are";

    // One byte that is not UTF-8 makes the whole list legacy text, valid sequences too:
    // "\xC3\xA9" in code page 1252 is two letters.
    const bool utf8 = GetACP() == CP_UTF8;
    const List two_letters = utf8 ? List{"\xC3\x83\xC2\xA9", "\xC3\xA9"} : List{"\xC3\xA9", "\xE9"};
    EXPECT_EQ(entries_from_file("\xC3\xA9\r\n\xE9\r\n"), two_letters);
    // Bytes after a NUL are no part of the list and do not decide.
    EXPECT_EQ(entries_from_file(std::string("C:\\Caf\xC3\xA9 \xC3\x84rger\r\n\0\xFF", 19)), List{cafe});
    EXPECT_EQ(entries_from_file(""), List{});
    // Both readings of a name that is UTF-8 and code page 1252 at once: the one whose
    // folder exists on the disk.
    const std::string legacy_name = "Fotos\xC3\x82\xC2\xB7"; // "FotosÂ·" as UTF-8
    ASSERT_TRUE(CreateDirectoryW((to_wide(dir.file(""), CP_ACP) + L"Fotos\u00C2\u00B7").c_str(), nullptr));
    const List found = entries_from_file(dir.file("Fotos\xC2\xB7") + "\r\n"); // the folder's ASCII path

    EXPECT_EQ(found, List{convert_code_page(dir.file(legacy_name), CP_UTF8, CP_ACP)});
}

TEST(FolderListFileText, SavedAsUtf8AndReadBackTheSame) {
    const std::string cafe = cafe_in_active_code_page();
    TempDir dir;
    std::string path = dir.file("Directory.drl");
    write_file(path, "C:\\Caf\xE9 \xC4rger\r\n"); // a legacy list ...
    auto list = load_folder_list_file(path);
    save_folder_list_file(path, *list); // ... is written back in UTF-8, with no mark before it
    EXPECT_EQ(read_file(path), "C:\\Caf\xC3\xA9 \xC3\x84rger\r\n");
    EXPECT_EQ(*load_folder_list_file(path), List{cafe});
}

} // namespace velmaro::state

namespace velmaro {

TEST(CodePageConversion, ARefusedConversionIsAnErrorNotEmptyText) {
    try {
        convert_code_page("C:\\Pictures", 54321, CP_UTF8);
        ADD_FAILURE() << "no error for an unknown code page";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot convert text from code page 54321");
    }
    EXPECT_EQ(convert_code_page("", 54321, CP_UTF8), "") << "no text, nothing to convert";
}

} // namespace velmaro
