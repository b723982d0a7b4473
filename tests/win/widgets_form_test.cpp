// The three widgets on a real form, built the way the main window builds them: the file
// list first, then the folder tree whose change shows its folder in the file list and
// empties the preview; fonts from the form, the preview's hint through the form's hints.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/case_fold_win.h"
#include "base/wildcard.h"
#include "gui/application_win.h"
#include "gui/file_list_win.h"
#include "gui/folder_tree_win.h"
#include "gui/form_win.h"
#include "gui/hint_win.h"
#include "gui/picture_box_win.h"
#include "widgets_host.h"

namespace velmaro::gui {
namespace {

const FontSpec kComic{.name = "Comic Sans MS", .size_pt = 8};

class BrowseForm : public Form {
  public:
    explicit BrowseForm(Application& app)
        : Form(app,
               FormDesc{.window_class = "TBrowseForm", .caption = "browse", .width = 450, .height = 420}) {
        files.create(*this, 8, 184, 185, 154, kComic);
        tree.on_change = [this] {
            ++changes;
            files.show_folder(tree.selected_path());
            preview.clear();
        };
        tree.create(*this, 8, 16, 185, 161, kComic);
        preview.create(*this, 208, 192, 217, 145);
        preview.set_show_hint(true);
    }
    FileList files;
    FolderTree tree;
    PictureBox preview;
    int changes = 0;
};

class WidgetsOnAForm : public ::testing::Test {
  protected:
    ComScope com;
    Application app;
    BrowseForm& form = app.create_form<BrowseForm>();
};

TEST_F(WidgetsOnAForm, TheFileListStartsOnTheDesktopFolder) {
    EXPECT_EQ(form.changes, 1);
    char desktop[MAX_PATH];
    ASSERT_TRUE(
        SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    EXPECT_TRUE(equal_nocase(form.files.current_folder(), desktop)) << form.files.current_folder();
}

TEST_F(WidgetsOnAForm, VirtualFolderLeavesTheFileListWhereItWas) {
    test::TempFolder dir("velmaro-form-virtual");
    dir.file("a.jpg");
    ASSERT_TRUE(form.tree.select_path(dir.path()));
    ASSERT_EQ(form.files.count(), 1);
    form.files.set_item_index(0);
    form.preview.load_from_file(VELMARO_TESTDATA_DIR "/widgets/red-100x50.bmp");

    ASSERT_TRUE(form.tree.select_path("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    EXPECT_EQ(form.changes, 3);
    EXPECT_EQ(form.files.current_folder(), dir.path());
    EXPECT_EQ(form.files.count(), 1);
    EXPECT_EQ(form.files.item_index(), -1) << "listed anew";
    EXPECT_TRUE(form.preview.empty());
}

TEST_F(WidgetsOnAForm, FontsLineHeightAndHint) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(form.files.hwnd(), WM_GETFONT, 0, 0)),
              cached_font(kComic));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(form.tree.hwnd(), WM_GETFONT, 0, 0)), cached_font(kComic));
    EXPECT_EQ(SendMessageA(form.files.hwnd(), LB_GETITEMHEIGHT, 0, 0), FileList::kItemHeight);
    RECT client;
    GetClientRect(form.files.hwnd(), &client);
    EXPECT_EQ(client.bottom, 150) << "ten whole lines in 154 pixels with the sunken edge";

    auto hint = [&] {
        auto id = reinterpret_cast<UINT_PTR>(form.preview.hwnd());
        return form.hints().text_of(form.hwnd(), id, true);
    };
    EXPECT_EQ(hint(), "") << "no hint until a file is chosen";
    form.preview.set_hint("Picture: C:\\a.jpg");
    EXPECT_EQ(form.preview.hint(), "Picture: C:\\a.jpg");
    EXPECT_EQ(hint(), "Picture: C:\\a.jpg");
}

} // namespace
} // namespace velmaro::gui
