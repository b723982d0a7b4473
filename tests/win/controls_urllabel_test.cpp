#include "controls/URLLabel_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "controls_host.h"
#include "gui/application_win.h"
#include "gui/form_win.h"

namespace velmaro::controls {
namespace {

using test::ControlsHost;
using test::MemorySurface;

constexpr int kLeft = 10, kTop = 10;

// One call of the shell, as the label made it.
struct ShellCall {
    HWND owner;
    std::string operation;
    std::string file;
    bool no_parameters;
    bool no_directory;
    int show;
};

class URLLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        label.set_name("URLLabel1");
        label.set_left(kLeft);
        label.set_top(kTop);
        label.set_parent(&host);
        label.shell_execute = [this](HWND owner, LPCSTR op, LPCSTR file, LPCSTR params, LPCSTR dir,
                                     INT show) {
            log.push_back("shell " + std::string(file));
            calls.push_back({owner, op ? op : "", file ? file : "", params == nullptr, dir == nullptr, show});
            return reinterpret_cast<HINSTANCE>(42);
        };
        label.OnClick = [this](gui::Object* sender) {
            EXPECT_EQ(sender, &label);
            log.push_back("OnClick");
        };
    }
    void enter_via_host() { host.send(WM_MOUSEMOVE, kLeft + 2, kTop + 2); }
    void leave_via_host() { host.send(WM_MOUSEMOVE, 300, 190); }
    void click_via_host() {
        host.send(WM_LBUTTONDOWN, kLeft + 2, kTop + 2, MK_LBUTTON);
        host.send(WM_LBUTTONUP, kLeft + 2, kTop + 2);
    }
    TFontStyles style() const { return TFontStyles::of(label.font()); }

    ControlsHost host{rgb_color(192, 192, 192)};
    TURLLabel label;
    std::vector<std::string> log;
    std::vector<ShellCall> calls;
};

TEST(URLLabel, ValuesAfterConstruction) {
    TURLLabel l;
    EXPECT_EQ(l.NormalColor(), clBlue);
    EXPECT_EQ(l.NormalColor(), rgb_color(0, 0, 255));
    EXPECT_EQ(l.OverColor(), clRed);
    EXPECT_EQ(l.OverColor(), rgb_color(255, 0, 0));
    EXPECT_EQ(l.URL(), kDefaultAddress);
    EXPECT_EQ(l.caption(), kDefaultAddress);
    EXPECT_FALSE(l.OverBold());
    EXPECT_EQ(l.Protocol(), ptWWW);
    EXPECT_EQ(l.font().color, clBlue);
    EXPECT_EQ(l.SavedStyle(), TFontStyles{});
    EXPECT_TRUE(l.auto_size());
    EXPECT_EQ(l.Address(), "http://www.orbenta.com");
    // Auto-sized to the caption even before it has a parent.
    EXPECT_GT(l.width(), 0);
    EXPECT_GT(l.height(), 0);
}

TEST_F(URLLabelTest, CaptionFollowsTheUrlOnlyWhileItShowsTheDefault) {
    const int default_width = label.width();
    label.SetURL("ftp.orbenta.com/pub/velmaro");
    EXPECT_EQ(label.URL(), "ftp.orbenta.com/pub/velmaro");
    EXPECT_EQ(label.caption(), "ftp.orbenta.com/pub/velmaro");
    EXPECT_GT(label.width(), default_width); // re-measured
    // The caption no longer shows the default address: later URLs leave it alone.
    label.SetURL("www.orbenta.com/velmaro");
    EXPECT_EQ(label.URL(), "www.orbenta.com/velmaro");
    EXPECT_EQ(label.caption(), "ftp.orbenta.com/pub/velmaro");
    // Back on the default address, it follows again.
    label.set_caption(std::string(kDefaultAddress));
    label.SetURL("orbenta.net");
    EXPECT_EQ(label.caption(), "orbenta.net");

    TURLLabel other;
    other.set_caption("Orbenta Homepage");
    other.SetURL("www.orbenta.com/home");
    EXPECT_EQ(other.caption(), "Orbenta Homepage");
    EXPECT_EQ(other.URL(), "www.orbenta.com/home");
}

TEST_F(URLLabelTest, HoverLookAndBack) {
    const int width = label.width(), height = label.height();
    label.mouse_enter();
    EXPECT_EQ(label.cursor(), gui::crHandPoint);
    EXPECT_EQ(style(), (TFontStyles{.fsUnderline = true}));
    EXPECT_EQ(label.font().color, clRed);
    EXPECT_EQ(label.SavedStyle(), TFontStyles{});
    EXPECT_EQ(label.width(), width);
    EXPECT_EQ(label.height(), height);
    label.mouse_leave();
    EXPECT_EQ(label.cursor(), gui::crDefault);
    EXPECT_EQ(style(), TFontStyles{});
    EXPECT_EQ(label.font().color, clBlue);
    EXPECT_EQ(label.width(), width);
}

TEST_F(URLLabelTest, OverBoldWidensTheLabelWhileHovered) {
    label.SetOverBold(true);
    const int width = label.width();
    label.mouse_enter();
    EXPECT_EQ(style(), (TFontStyles{.fsBold = true, .fsUnderline = true}));
    EXPECT_GT(label.width(), width);
    label.mouse_leave();
    EXPECT_EQ(style(), TFontStyles{});
    EXPECT_EQ(label.width(), width);
}

TEST_F(URLLabelTest, TheLabelsOwnStyleIsSavedAndRestored) {
    gui::FontSpec f = label.font();
    f.italic = true;
    f.strike = true;
    label.set_font(f);
    label.SetOverBold(true);
    label.mouse_enter();
    EXPECT_EQ(label.SavedStyle(), (TFontStyles{.fsItalic = true, .fsStrikeOut = true}));
    EXPECT_EQ(style(),
              (TFontStyles{.fsBold = true, .fsItalic = true, .fsUnderline = true, .fsStrikeOut = true}));
    label.mouse_leave();
    EXPECT_EQ(style(), (TFontStyles{.fsItalic = true, .fsStrikeOut = true}));
}

TEST_F(URLLabelTest, OverColourEqualToNormalChangesOnlyStyleAndCursor) {
    label.SetOverColor(clBlue);
    label.mouse_enter();
    EXPECT_EQ(label.font().color, clBlue);
    EXPECT_TRUE(style().fsUnderline);
    EXPECT_EQ(label.cursor(), gui::crHandPoint);
}

TEST_F(URLLabelTest, NormalColorAssignedWhileHoveredShowsAtOnce) {
    label.mouse_enter();
    label.SetNormalColor(clGray);
    EXPECT_EQ(label.font().color, clGray);
    EXPECT_TRUE(style().fsUnderline); // the hover style stays
    label.mouse_leave();
    EXPECT_EQ(label.font().color, clGray);
    label.mouse_enter();
    EXPECT_EQ(label.font().color, clRed);
}

TEST_F(URLLabelTest, OverColorAndOverBoldWaitForTheNextEnter) {
    label.mouse_enter();
    const int width = label.width();
    label.SetOverColor(clWhite);
    label.SetOverBold(true);
    EXPECT_EQ(label.font().color, clRed);
    EXPECT_EQ(style(), (TFontStyles{.fsUnderline = true}));
    EXPECT_EQ(label.width(), width);
    label.mouse_leave();
    label.mouse_enter();
    EXPECT_EQ(label.font().color, clWhite);
    EXPECT_EQ(style(), (TFontStyles{.fsBold = true, .fsUnderline = true}));
}

TEST_F(URLLabelTest, AGivenCursorIsReplacedAtEnterAndLeave) {
    label.set_cursor(gui::crCross);
    label.mouse_enter();
    EXPECT_EQ(label.cursor(), gui::crHandPoint);
    label.mouse_leave();
    EXPECT_EQ(label.cursor(), gui::crDefault);
}

TEST_F(URLLabelTest, DisabledLabelIgnoresEnterLeaveAndClick) {
    label.set_cursor(gui::crCross);
    label.set_enabled(false);
    enter_via_host();
    EXPECT_EQ(label.cursor(), gui::crCross);
    EXPECT_EQ(style(), TFontStyles{});
    EXPECT_EQ(label.font().color, clBlue);
    click_via_host();
    label.click(); // even when called directly
    leave_via_host();
    EXPECT_EQ(label.cursor(), gui::crCross);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(calls.empty());
}

TEST_F(URLLabelTest, ClickFiresOnClickThenOpensTheAddress) {
    click_via_host();
    ASSERT_EQ(log, (std::vector<std::string>{"OnClick", "shell http://www.orbenta.com"}));
    const ShellCall& c = calls.at(0);
    EXPECT_EQ(c.owner, nullptr); // the test host belongs to no application
    EXPECT_EQ(c.operation, "open");
    EXPECT_TRUE(c.no_parameters);
    EXPECT_TRUE(c.no_directory);
    EXPECT_EQ(c.show, SW_SHOWNORMAL);
    // Without OnClick the link still opens; a failing shell is not examined.
    label.OnClick = nullptr;
    label.shell_execute = [this](HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
        log.push_back(std::string("failed ") + file);
        return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    };
    EXPECT_NO_THROW(click_via_host());
    EXPECT_EQ(log.back(), "failed http://www.orbenta.com");
}

TEST_F(URLLabelTest, ClickComposesTheAddressOfTheProtocol) {
    struct Case {
        TProtocol protocol;
        std::string url;
        std::string address;
    };
    const Case cases[] = {
        {ptWWW, "www.orbenta.com", "http://www.orbenta.com"},
        {ptWWW, "http://www.orbenta.com/x", "http://www.orbenta.com/x"},
        {ptWWW, "HTTP://www.orbenta.com", "http://HTTP://www.orbenta.com"},
        {ptWWW, "ftp://ftp.orbenta.com", "http://ftp://ftp.orbenta.com"},
        {ptWWW, "", "http://"},
        {ptMAIL, "info@orbenta.com", "mailto:info@orbenta.com"},
        {ptFTP, "ftp.orbenta.com", "ftp://ftp.orbenta.com"},
        {ptFILE, "C:\\Program Files\\Velmaro\\Velmaro.HLP", "file:C:\\Program Files\\Velmaro\\Velmaro.HLP"},
    };
    for (const Case& c : cases) {
        label.SetProtocol(c.protocol);
        label.SetURL(c.url);
        label.click();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().file, c.address);
    }
    EXPECT_EQ(calls.size(), std::size(cases));
}

TEST_F(URLLabelTest, UnknownProtocolIsRefused) {
    label.SetProtocol(ptFTP);
    EXPECT_THROW(label.SetProtocol(static_cast<TProtocol>(7)), Error);
    EXPECT_EQ(label.Protocol(), ptFTP);
}

TEST_F(URLLabelTest, PointerRoutedByTheHost) {
    enter_via_host();
    EXPECT_EQ(label.font().color, clRed);
    EXPECT_TRUE(style().fsUnderline);
    leave_via_host();
    EXPECT_EQ(label.font().color, clBlue);
    EXPECT_FALSE(style().fsUnderline);
}

TEST_F(URLLabelTest, LeaveWithoutEnterKeepsTheStyle) {
    gui::FontSpec f = label.font();
    f.bold = true;
    label.set_font(f);
    label.mouse_leave(); // the pointer came while another control held the capture
    EXPECT_TRUE(style().fsBold);
    EXPECT_EQ(label.font().color, clBlue);
}

TEST_F(URLLabelTest, DisabledWhileHoveredRecoversAtTheNextLeave) {
    label.mouse_enter();
    label.set_enabled(false);
    label.mouse_leave(); // skipped: the hover look stays
    EXPECT_TRUE(style().fsUnderline);
    EXPECT_EQ(label.cursor(), gui::crHandPoint);
    label.set_enabled(true);
    label.mouse_enter(); // must not take the hover style for the label's own
    EXPECT_EQ(label.SavedStyle(), TFontStyles{});
    label.mouse_leave();
    EXPECT_EQ(style(), TFontStyles{});
    EXPECT_EQ(label.font().color, clBlue);
    EXPECT_EQ(label.cursor(), gui::crDefault);
}

TEST_F(URLLabelTest, HoverLookOnScreen) {
    MemorySurface screen(320, 200);
    const RECT area{kLeft, kTop, kLeft + label.width(), kTop + label.height()};
    host.render(screen);
    const int blue = screen.count(area, RGB(0, 0, 255));
    EXPECT_GT(blue, 20);
    EXPECT_EQ(screen.count(area, RGB(255, 0, 0)), 0);

    enter_via_host();
    const RECT hovered{kLeft, kTop, kLeft + label.width(), kTop + label.height()};
    host.render(screen);
    EXPECT_EQ(screen.count(hovered, RGB(0, 0, 255)), 0);
    // The underline: a row of red across (nearly) the whole caption.
    int longest = 0;
    for (int y = hovered.top; y < hovered.bottom; ++y)
        longest =
            std::max(longest, screen.count(RECT{hovered.left, y, hovered.right, y + 1}, RGB(255, 0, 0)));
    EXPECT_GE(longest, label.width() - 2);
    EXPECT_GT(screen.count(hovered, RGB(255, 0, 0)), blue);

    leave_via_host();
    host.render(screen);
    EXPECT_EQ(screen.count(area, RGB(0, 0, 255)), blue);
    EXPECT_EQ(screen.count(hovered, RGB(255, 0, 0)), 0);
}

TEST(URLLabelOwner, TheShellIsOwnedByTheApplicationWindow) {
    gui::Application app;
    auto& form = app.create_form<gui::Form>(gui::FormDesc{.window_class = "TAboutTestForm",
                                                          .caption = "About",
                                                          .border = gui::BorderKind::tool_sizeable_no_buttons,
                                                          .width = 283,
                                                          .height = 216});
    TURLLabel l;
    l.set_parent(&form);
    HWND owner = reinterpret_cast<HWND>(1);
    l.shell_execute = [&](HWND o, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) {
        owner = o;
        return reinterpret_cast<HINSTANCE>(42);
    };
    l.click();
    ASSERT_NE(app.handle(), nullptr);
    EXPECT_EQ(owner, app.handle());
}

} // namespace
} // namespace velmaro::controls
