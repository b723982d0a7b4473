// The standard controls as the forms use them: list boxes (lines, selection, bad
// indexes, item height), the combo box's item index with typed text, check boxes, labels,
// hints of child windows, fonts, tab order and the GraphicLabel's auto size.
#include "gui/controls_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "base/error.h"
#include "gui/application_win.h"
#include "gui/form_win.h"
#include "gui/hint_win.h"
#include "gui_test_support.h"

namespace velmaro::gui {
namespace {

class ControlsForm : public Form {
  public:
    explicit ControlsForm(Application& app)
        : Form(app, FormDesc{.window_class = "TControlsForm",
                             .caption = "Options",
                             .border = BorderKind::tool_fixed,
                             .width = 460,
                             .height = 400,
                             .font = FontSpec{.name = "Comic Sans MS", .size_pt = 8}}) {}
};

class Controls : public ::testing::Test {
  protected:
    Application app;
    ControlsForm& form = app.create_form<ControlsForm>();
};

TEST_F(Controls, ListBoxLinesAndSelection) {
    ListBox lb(form, 248, 16, 185, 161);
    EXPECT_EQ(lb.count(), 0);
    EXPECT_EQ(lb.item_index(), -1);
    EXPECT_EQ(lb.add("C:\\b"), 0);
    EXPECT_EQ(lb.add("C:\\a"), 1) << "appended in order, not sorted";
    lb.add("D:\\pics");
    EXPECT_EQ(lb.items(), (std::vector<std::string>{"C:\\b", "C:\\a", "D:\\pics"}));
    lb.set_item_index(1);
    EXPECT_EQ(lb.item_index(), 1);
    lb.set_item_index(3);
    EXPECT_EQ(lb.item_index(), -1) << "an index past the end selects nothing";
    lb.set_item_index(2);
    lb.set_item_index(-5);
    EXPECT_EQ(lb.item_index(), -1);
    lb.delete_item(0);
    EXPECT_EQ(lb.items(), (std::vector<std::string>{"C:\\a", "D:\\pics"}));
    lb.clear();
    EXPECT_EQ(lb.count(), 0);
}

TEST_F(Controls, ListBoxBadIndexesRaiseTheListIndexError) {
    ListBox lb(form, 0, 0, 100, 100);
    lb.add("x");
    try {
        lb.item(-1);
        FAIL();
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_THROW(lb.item(1), ListIndexError);
    EXPECT_THROW(lb.delete_item(1), ListIndexError);
    EXPECT_THROW(lb.delete_item(-1), ListIndexError);
    EXPECT_EQ(lb.count(), 1);
}

TEST_F(Controls, ListBoxAssignAndItemHeightWithIntegralHeight) {
    ListBox lb(form, 8, 184, 185, 154, std::nullopt, true);
    std::vector<std::string> many;
    for (int i = 0; i < 500; ++i)
        many.push_back("pic" + std::to_string(i) + ".jpg");
    lb.assign(many);
    EXPECT_EQ(lb.count(), 500);
    EXPECT_EQ(lb.item(499), "pic499.jpg");
    EXPECT_EQ(lb.item_index(), -1);
    lb.set_item_height(15);
    EXPECT_EQ(lb.item_height(), 15);
    RECT c;
    GetClientRect(lb.hwnd(), &c);
    EXPECT_EQ(c.bottom % 15, 0) << "whole lines only";
    EXPECT_LE(c.bottom, 154);
    lb.assign({});
    EXPECT_EQ(lb.count(), 0);
}

// A list that cannot take a line (the system out of room) says so instead of passing as
// whole: the folder list would otherwise be saved without the lines it lost.
LRESULT CALLBACK refuse_third_line(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == LB_ADDSTRING && SendMessageA(hwnd, LB_GETCOUNT, 0, 0) == 2)
        return LB_ERRSPACE;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TEST_F(Controls, ListBoxAssignThatLosesALineFails) {
    ListBox lb(form, 0, 0, 100, 100);
    ASSERT_TRUE(SetWindowSubclass(lb.hwnd(), &refuse_third_line, 1, 0));
    EXPECT_THROW(lb.assign({"a", "b", "c", "d"}), Error);
    RemoveWindowSubclass(lb.hwnd(), &refuse_third_line, 1);
    lb.assign({"a", "b", "c", "d"});
    EXPECT_EQ(lb.count(), 4);
}

TEST_F(Controls, ListBoxClickIsTheUsersChoice) {
    ListBox lb(form, 0, 0, 100, 100);
    lb.add("a");
    lb.add("b");
    int clicks = 0;
    Object* sender = nullptr;
    lb.OnClick = [&](Object* s) {
        ++clicks;
        sender = s;
    };
    lb.set_item_index(1);
    EXPECT_EQ(clicks, 0) << "a selection by the program raises no click";
    // The keyboard: Down moves the selection and notifies.
    form.show();
    lb.focus();
    SendMessageA(lb.hwnd(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, &lb);
    EXPECT_EQ(lb.item_index(), 0);
    form.hide();
}

TEST_F(Controls, ComboBoxItemIndexAndTypedText) {
    ComboBox cb(form, 8, 24, 89, 23);
    for (const char* s : {"Tile", "Center", "Strech"})
        cb.add(s);
    EXPECT_EQ(cb.count(), 3);
    EXPECT_EQ(cb.item_index(), -1);
    cb.set_item_index(2);
    EXPECT_EQ(cb.item_index(), 2);
    EXPECT_EQ(cb.edit_text(), "Strech");
    cb.set_item_index(7);
    EXPECT_EQ(cb.item_index(), -1) << "a number that names no item chooses none";
    cb.set_item_index(0);
    // The user types into the edit field: no item is chosen any more.
    HWND edit = FindWindowExA(cb.hwnd(), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(cb.item_index(), -1);
    cb.set_item_index(1);
    EXPECT_EQ(cb.item_index(), 1);
    EXPECT_EQ(cb.item(1), "Center");
    EXPECT_THROW(cb.item(3), ListIndexError);
}

TEST_F(Controls, CheckBoxIsPlainTwoState) {
    CheckBox chk(form, 8, 56, 129, 17, "Randomize &file list");
    EXPECT_FALSE(chk.checked());
    chk.set_checked(true);
    EXPECT_TRUE(chk.checked());
    EXPECT_EQ(chk.text(), "Randomize &file list");
    int clicks = 0;
    chk.OnClick = [&](Object*) { ++clicks; };
    SendMessageA(chk.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(chk.checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetWindowLongA(chk.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
}

TEST_F(Controls, LabelsSizeToTheirTextAndCanBeRead) {
    Label l(form, 200, 352, "Width:");
    RECT r = l.bounds();
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 352);
    int narrow = r.right - r.left;
    EXPECT_GT(narrow, 10);
    l.set_caption("Width:  1024");
    EXPECT_EQ(l.caption(), "Width:  1024");
    r = l.bounds();
    EXPECT_GT(r.right - r.left, narrow);
    // A driver reads the text through the window.
    EXPECT_EQ(test::window_text(l.hwnd()), "Width:  1024");
    // A larger font re-measures.
    int width = r.right - r.left, height = r.bottom - r.top;
    l.set_font(FontSpec{.name = "Arial", .size_pt = 14, .bold = true});
    r = l.bounds();
    EXPECT_GT(r.right - r.left, width);
    EXPECT_GT(r.bottom - r.top, height);
}

TEST_F(Controls, ControlsTakeTheFormsFontUnlessGivenOne) {
    Label own(form, 0, 0, "x", FontSpec{.name = "Arial", .size_pt = 10, .bold = true});
    Label inherited(form, 0, 20, "y");
    EXPECT_EQ(inherited.font().name, "Comic Sans MS");
    EXPECT_EQ(own.font().name, "Arial");
    auto font_of = [](HWND h) { return reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)); };
    EXPECT_EQ(font_of(inherited.hwnd()), cached_font(form.font()));
    LOGFONTA lf{};
    GetObjectA(font_of(own.hwnd()), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
}

TEST_F(Controls, HintsOfChildWindowsChangeAtRunTime) {
    ListBox lb(form, 0, 0, 100, 100);
    lb.set_hint("List of selected folders");
    auto id = reinterpret_cast<UINT_PTR>(lb.hwnd());
    EXPECT_EQ(form.hints().text_of(form.hwnd(), id, true), "") << "ShowHint is off";
    lb.set_show_hint(true);
    EXPECT_EQ(form.hints().text_of(form.hwnd(), id, true), "List of selected folders");
    lb.set_hint("Picture: C:\\x.jpg");
    EXPECT_EQ(form.hints().text_of(form.hwnd(), id, true), "Picture: C:\\x.jpg");
}

TEST_F(Controls, TabOrderIsCreationOrderUnlessSet) {
    ComboBox display(form, 8, 24, 89, 23);
    CheckBox rnd(form, 8, 56, 129, 17, "Randomize &file list");
    CheckBox change(form, 8, 80, 249, 17, "Change &wallpaper every time Windows start");
    PushButton ok(form, 40, 112, 75, 25, "&OK");
    PushButton cancel(form, 144, 112, 75, 25, "&Cancel");
    change.set_tab_order(4);
    std::vector<HWND> order;
    HWND first = GetNextDlgTabItem(form.hwnd(), nullptr, FALSE);
    for (HWND h = first; h && order.size() < 6; h = GetNextDlgTabItem(form.hwnd(), h, FALSE)) {
        if (!order.empty() && h == order.front())
            break;
        order.push_back(h);
    }
    EXPECT_EQ(order,
              (std::vector<HWND>{display.hwnd(), rnd.hwnd(), ok.hwnd(), cancel.hwnd(), change.hwnd()}));
}

TEST_F(Controls, GraphicLabelSizesToItsCaptionAndClicks) {
    GraphicLabel l;
    l.set_font(FontSpec{.name = "MS Sans Serif", .size_pt = 8, .color = clRed});
    l.set_parent(&form);
    l.set_bounds(8, 96, 98, 13);
    l.set_caption("Orbenta Homepage");
    int regular = l.width();
    EXPECT_GT(regular, 40);
    EXPECT_GT(l.height(), 8);
    FontSpec bold = l.font();
    bold.bold = true;
    bold.underline = true;
    l.set_font(bold);
    EXPECT_GT(l.width(), regular) << "bold re-measures";
    int clicks = 0;
    l.OnClick = [&](Object* s) {
        EXPECT_EQ(s, &l);
        ++clicks;
    };
    form.show();
    SendMessageA(form.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 100));
    SendMessageA(form.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 100));
    SendMessageA(form.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 100));
    EXPECT_EQ(clicks, 1);
    form.hide();
}

} // namespace
} // namespace velmaro::gui
