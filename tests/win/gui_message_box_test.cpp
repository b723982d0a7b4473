// The message box on real boxes: every button set answered by Enter, Esc, the close box
// and the buttons themselves, driven from a timer inside the box's own loop.
#include "gui/message_box_win.h"

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace velmaro::gui {
namespace {

using test::BoxDriver;

struct KeyCase {
    Buttons buttons;
    std::vector<std::string> texts;
    int enter;
    int esc;
};

const KeyCase kKeyCases[] = {
    {mbOK, {"OK"}, idOk, idOk},
    {mbYes | mbNo, {"&Yes", "&No"}, idYes, idNo},
    {mbYes | mbNo | mbOK, {"&Yes", "&No", "OK"}, idOk, idNo},
    {mbYes | mbOK, {"&Yes", "OK"}, idOk, idOk},
    {mbNo | mbOK, {"&No", "OK"}, idOk, idNo},
    // Sets the program never uses: Enter presses the only button; Esc without No or OK
    // answers as the close box does.
    {mbYes, {"&Yes"}, idYes, idClosed},
    {mbNo, {"&No"}, idNo, idNo},
};

int answer_with_key(const KeyCase& c, WPARAM vk, test::SeenBox& seen) {
    BoxDriver driver([vk](HWND box) { test::press_key(box, vk); });
    int r = message_box(MsgKind::information, "Question?", c.buttons);
    seen = driver.seen();
    return r;
}

TEST(MsgBox, EnterAndEscAnswerEveryButtonSet) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.buttons);
        test::SeenBox seen;
        int enter = answer_with_key(c, VK_RETURN, seen);
        ASSERT_TRUE(seen.seen);
        EXPECT_EQ(seen.buttons, c.texts);
        EXPECT_EQ(enter, c.enter);
        EXPECT_EQ(answer_with_key(c, VK_ESCAPE, seen), c.esc);
    }
}

TEST(MsgBox, CloseBoxAnswersTwo) {
    for (Buttons b : {Buttons{mbOK}, mbYesNo, Buttons{mbYes | mbNo | mbOK}}) {
        BoxDriver driver([](HWND box) { test::press_close_box(box); });
        EXPECT_EQ(message_box(MsgKind::warning, "Close me", b), idClosed);
        EXPECT_TRUE(driver.seen().seen);
    }
}

TEST(MsgBox, ClickingAButtonAnswersItsCode) {
    struct Click {
        Buttons set;
        const char* text;
        int result;
    };
    for (Click c : {Click{mbYesNo, "&Yes", idYes}, Click{mbYesNo, "&No", idNo},
                    Click{mbYes | mbNo | mbOK, "OK", idOk}, Click{mbYes | mbNo | mbOK, "&No", idNo}}) {
        BoxDriver driver([&](HWND box) { test::click_button(box, c.text); });
        EXPECT_EQ(message_box(MsgKind::confirmation, "Pick", c.set), c.result) << c.text;
    }
}

TEST(MsgBox, EnterOnAFocusedButtonPressesThatButton) {
    // Tab from Yes (the default of a Yes/No box) to No, then Enter.
    BoxDriver driver([](HWND box) {
        SetFocus(GetDlgItem(box, idNo));
        test::press_key(box, VK_RETURN);
    });
    EXPECT_EQ(message_box(MsgKind::confirmation, "Sure?", mbYesNo), idNo);
}

TEST(MsgBox, CaptionTextIconAndPlaceFollowTheKind) {
    struct KindCase {
        MsgKind kind;
        const char* caption;
    };
    for (KindCase k :
         {KindCase{MsgKind::warning, "Warning"}, KindCase{MsgKind::error, "Error"},
          KindCase{MsgKind::information, "Information"}, KindCase{MsgKind::confirmation, "Confirm"}}) {
        BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
        message_box(k.kind, " No file selected! ", mbOK);
        const auto& s = driver.seen();
        ASSERT_TRUE(s.seen);
        EXPECT_EQ(s.caption, k.caption);
        EXPECT_EQ(s.text, " No file selected! ") << "the text is shown as given, blanks kept";
        EXPECT_TRUE(s.has_icon);
        EXPECT_TRUE(s.centred);
    }
}

TEST(MsgBox, AmpersandsInTheTextAreShownAsTheyAre) {
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    message_box(MsgKind::information, "Tom & Jerry", mbOK);
    EXPECT_EQ(driver.seen().text, "Tom & Jerry");
}

// A window that must be disabled while the box is open and enabled after it.
TEST(MsgBox, IsModalOverTheProgramsWindows) {
    UniqueHwnd other(CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr));
    bool disabled_while_open = false;
    BoxDriver driver([&](HWND box) {
        disabled_while_open = !IsWindowEnabled(other.get());
        test::press_key(box, VK_RETURN);
    });
    message_box(MsgKind::warning, "Modal", mbOK);
    EXPECT_TRUE(disabled_while_open);
    EXPECT_TRUE(IsWindowEnabled(other.get()));
    // A window that was disabled before stays disabled.
    EnableWindow(other.get(), FALSE);
    BoxDriver driver2([](HWND box) { test::press_key(box, VK_ESCAPE); });
    message_box(MsgKind::warning, "Modal", mbOK);
    EXPECT_FALSE(IsWindowEnabled(other.get()));
}

TEST(MsgBox, BoxesNestInsideBoxes) {
    // A timer tick inside one box opens a second box; both answer in turn.
    int inner = 0;
    Timer opener(30, true);
    bool opened = false;
    opener.OnTimer = [&](Object*) {
        if (opened || !test::find_message_box())
            return;
        opened = true;
        opener.set_enabled(false);
        HWND outer = test::find_message_box();
        BoxDriver answer([](HWND box) { test::press_key(box, VK_ESCAPE); });
        inner = message_box(MsgKind::confirmation, "Inner", mbYesNo);
        test::press_key(outer, VK_RETURN);
    };
    EXPECT_EQ(message_box(MsgKind::information, "Outer", mbYesNo), idYes);
    EXPECT_EQ(inner, idNo);
}

} // namespace
} // namespace velmaro::gui
