// The three widgets on the main window: the folder tree's change shows its folder in the
// file list and empties the preview; fonts from the form, the preview's hint through
// the form's hints.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "base/case_fold_win.h"
#include "base/wildcard.h"
#include "gui/application_win.h"
#include "gui/file_list_win.h"
#include "gui/folder_tree_win.h"
#include "gui/form_win.h"
#include "gui/hint_win.h"
#include "gui/picture_box_win.h"
#include "gui_test_support.h"
#include "state/folder_list_file_win.h"
#include "ui/MainForm.h"
#include "widgets_host.h"

namespace velmaro::gui {
namespace {

const FontSpec kComic{.name = "Comic Sans MS", .size_pt = 8};

// The main window reads its folder list at creation from beside the program: an empty
// list there keeps its "not found" box out of the way.
class ListBesideTheProgram {
  public:
    ListBesideTheProgram() : path_(state::folder_list_file_path()) {
        made_ = GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
        if (made_)
            state::save_folder_list_file(path_, {});
    }
    ~ListBesideTheProgram() {
        if (made_)
            DeleteFileA(path_.c_str());
    }
    ListBesideTheProgram(const ListBesideTheProgram&) = delete;
    ListBesideTheProgram& operator=(const ListBesideTheProgram&) = delete;

  private:
    std::string path_;
    bool made_ = false;
};

// The three widgets on the main window itself, wired as the program wires them.
class WidgetsOnAForm : public ::testing::Test {
  protected:
    ComScope com;
    ListBesideTheProgram list;
    Application app;
    ui::TFormMain& form = app.create_form<ui::TFormMain>();
};

TEST_F(WidgetsOnAForm, TheFileListStartsOnTheDesktopFolder) {
    char desktop[MAX_PATH];
    ASSERT_TRUE(
        SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    EXPECT_TRUE(equal_nocase(form.FileLB.current_folder(), desktop)) << form.FileLB.current_folder();
}

TEST_F(WidgetsOnAForm, VirtualFolderLeavesTheFileListWhereItWas) {
    test::TempFolder dir("velmaro-form-virtual");
    dir.file("a.jpg");
    ASSERT_TRUE(form.ShellTV.select_path(dir.path()));
    ASSERT_EQ(form.FileLB.count(), 1);
    form.FileLB.set_item_index(0);
    form.Slika.load_from_file(VELMARO_TESTDATA_DIR "/widgets/red-100x50.bmp");

    ASSERT_TRUE(form.ShellTV.select_path("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    EXPECT_EQ(form.FileLB.current_folder(), dir.path());
    EXPECT_EQ(form.FileLB.count(), 1);
    EXPECT_EQ(form.FileLB.item_index(), -1) << "listed anew";
    EXPECT_TRUE(form.Slika.empty());
}

TEST_F(WidgetsOnAForm, FontsLineHeightAndHint) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(form.FileLB.hwnd(), WM_GETFONT, 0, 0)),
              cached_font(kComic));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(form.ShellTV.hwnd(), WM_GETFONT, 0, 0)),
              cached_font(kComic));
    EXPECT_EQ(SendMessageA(form.FileLB.hwnd(), LB_GETITEMHEIGHT, 0, 0), FileList::kItemHeight);
    RECT client;
    GetClientRect(form.FileLB.hwnd(), &client);
    EXPECT_EQ(client.bottom, 150) << "ten whole lines in 154 pixels with the sunken edge";

    auto hint = [&] {
        auto id = reinterpret_cast<UINT_PTR>(form.Slika.hwnd());
        return form.hints().text_of(form.hwnd(), id, true);
    };
    EXPECT_EQ(hint(), "") << "no hint until a file is chosen";
    test::TempFolder dir("velmaro-form-hint");
    std::string picture = dir.file("a.jpg");
    ASSERT_TRUE(form.ShellTV.select_path(dir.path()));
    form.FileLB.set_item_index(0);
    form.FileLBClick(&form);
    EXPECT_EQ(hint(), "Picture: " + picture) << "even for a file that is no picture";
    EXPECT_TRUE(form.Slika.empty());
}

// A folder list that reaches the window only in part (the list box refused a line) is
// reported, and closing leaves the file as it was instead of saving the part.
constexpr const char* kRefusedLine = "C:\\velmaro refused line";

LRESULT CALLBACK refuse_one_line(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == LB_ADDSTRING && std::string(reinterpret_cast<const char*>(lp)) == kRefusedLine)
        return LB_ERRSPACE;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK refuse_in_list_boxes(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs;
        if (HIWORD(reinterpret_cast<UINT_PTR>(create->lpszClass)) &&
            lstrcmpiA(create->lpszClass, "LISTBOX") == 0)
            SetWindowSubclass(reinterpret_cast<HWND>(wp), &refuse_one_line, 1, 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(MainFormList, AListShownOnlyInPartIsNotSavedAtClose) {
    ComScope com;
    const std::string path = state::folder_list_file_path();
    auto before = state::load_folder_list_file(path);
    const std::vector<std::string> stored{"C:\\first", kRefusedLine, "C:\\third"};
    state::save_folder_list_file(path, stored);
    {
        HHOOK hook = SetWindowsHookExA(WH_CBT, &refuse_in_list_boxes, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        test::BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
        Application app;
        auto& form = app.create_form<ui::TFormMain>();
        UnhookWindowsHookEx(hook);
        test::pump_until([&] { return driver.seen().seen; });
        EXPECT_EQ(driver.seen().text, "Out of memory for the list.");
        form.close();
    }
    EXPECT_EQ(state::load_folder_list_file(path), std::optional(stored));
    if (before)
        state::save_folder_list_file(path, *before);
    else
        DeleteFileA(path.c_str());
}

} // namespace
} // namespace velmaro::gui
