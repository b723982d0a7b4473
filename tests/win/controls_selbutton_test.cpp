#include "controls/ButtonComps_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "controls_host.h"
#include "gui/color_win.h"
#include "gui/font_win.h"

namespace velmaro::controls {
namespace {

using test::ControlsHost;
using test::MemorySurface;

constexpr TColor kHostColor = rgb_color(192, 192, 192);
constexpr int kLeft = 20, kTop = 30;

// Where a caption's ink lies when drawn at (0, 0) in a font and colours: the offsets the
// button's drawing must show shifted by its caption position.
RECT reference_ink(const gui::FontSpec& font, const std::string& text, TColor fill, TColor caption,
                   SIZE& extent) {
    MemorySurface s(300, 60);
    s.fill(gui::to_colorref(fill));
    HGDIOBJ old = SelectObject(s.dc(), gui::cached_font(font));
    SetTextColor(s.dc(), gui::to_colorref(caption));
    SetBkColor(s.dc(), gui::to_colorref(fill));
    SetBkMode(s.dc(), OPAQUE);
    TextOutA(s.dc(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    GetTextExtentPoint32A(s.dc(), text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(s.dc(), old);
    return s.ink(RECT{0, 0, 300, 60}, gui::to_colorref(fill));
}

RECT shifted(RECT r, int dx, int dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

::testing::AssertionResult same_rect(const RECT& a, const RECT& b) {
    if (EqualRect(&a, &b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.left << "," << a.top << "," << a.right << "," << a.bottom << ") vs (" << b.left << ","
           << b.top << "," << b.right << "," << b.bottom << ")";
}

// A button placed on a host window, as a form places it.
struct Placed {
    ControlsHost host{kHostColor};
    TSelButton button;
    MemorySurface screen{320, 200};

    Placed() {
        button.set_name("SetSB");
        button.set_bounds(kLeft, kTop, 105, 20);
        button.set_parent(&host);
    }
    COLORREF at(int x, int y) { return screen.pixel(kLeft + x, kTop + y); }
    void render() { host.render(screen); }
    RECT caption_ink() {
        const int w = button.width(), h = button.height();
        return shifted(screen.ink(RECT{kLeft + 1, kTop + 1, kLeft + w - 1, kTop + h - 1},
                                  gui::to_colorref(button.Color())),
                       -kLeft, -kTop);
    }
};

TEST(SelButton, ValuesAfterConstruction) {
    TSelButton b;
    EXPECT_EQ(b.width(), 105);
    EXPECT_EQ(b.height(), 20);
    EXPECT_EQ(b.Caption(), "");
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.ColorSaved(), clBtnFace);
    EXPECT_EQ(b.ColorBorder(), clGray);
    EXPECT_TRUE(b.Enabled());
    EXPECT_EQ(b.ColorOverCaption(), clBlack);
    EXPECT_EQ(b.ColorOver(), 0xA4B984u);
    EXPECT_EQ(b.ColorOver(), rgb_color(132, 185, 164));
    EXPECT_EQ(b.ColorDown(), 0xA4B984u);
    EXPECT_EQ(b.Alignment(), taLeftJustify);
    EXPECT_EQ(b.BorderWidth(), 1);
    EXPECT_TRUE(b.show_hint());
    EXPECT_FALSE(b.parent_show_hint());
    EXPECT_EQ(b.font().name, "Arial");
    EXPECT_EQ(b.font().size_pt, 8);
    EXPECT_EQ(b.font().color, clGray);
    EXPECT_FALSE(b.font().bold);
    EXPECT_FALSE(b.OnClick || b.OnMouseDown || b.OnMouseUp || b.OnMouseEnter || b.OnMouseLeave);
    // The framework's own state is never touched.
    EXPECT_TRUE(b.enabled());
}

TEST(SelButton, RepaintingAssignmentsNeedAParentButKeepTheValue) {
    TSelButton b;
    EXPECT_THROW(b.SetCaption("Close"), Error);
    EXPECT_EQ(b.Caption(), "Close");
    EXPECT_THROW(b.SetColor(clWhite), Error);
    EXPECT_EQ(b.Color(), clWhite);
    EXPECT_EQ(b.ColorSaved(), clWhite);
    EXPECT_THROW(b.SetBorderWidth(3), Error);
    EXPECT_EQ(b.BorderWidth(), 3);
    EXPECT_THROW(b.SetAlignment(taCenter), Error);
    EXPECT_EQ(b.Alignment(), taCenter);
    // Disabled without a parent: the usual form background stands in for the parent's.
    EXPECT_THROW(b.SetEnabled(false), Error);
    EXPECT_FALSE(b.Enabled());
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.ColorSaved(), clWhite);
    // The stored-only colours need nothing.
    EXPECT_NO_THROW(b.SetColorOver(clRed));
    EXPECT_NO_THROW(b.SetColorDown(clBlue));
    EXPECT_NO_THROW(b.SetColorOverCaption(clWhite));
}

TEST(SelButton, CaptionIsTheNameAtParentAssignment) {
    ControlsHost host, other;
    TSelButton b;
    b.set_name("ZatvoriSB");
    b.set_parent(&host);
    EXPECT_EQ(b.Caption(), "ZatvoriSB");
    // A stored caption applied after the parent replaces it...
    b.SetCaption("Close");
    b.set_parent(nullptr);
    EXPECT_EQ(b.Caption(), "Close");
    // ...and a move to another parent puts the name back.
    b.set_parent(&other);
    EXPECT_EQ(b.Caption(), "ZatvoriSB");
}

TEST(SelButton, NormalFaceFillFrameAndCaption) {
    Placed p;
    p.button.SetCaption("Close");
    p.render();
    const COLORREF face = gui::to_colorref(clBtnFace), gray = RGB(128, 128, 128), host = RGB(192, 192, 192);
    // Frame ring at the edge, fill inside, the host's background around.
    EXPECT_EQ(p.at(0, 0), gray);
    EXPECT_EQ(p.at(104, 0), gray);
    EXPECT_EQ(p.at(0, 19), gray);
    EXPECT_EQ(p.at(104, 19), gray);
    EXPECT_EQ(p.at(50, 0), gray);
    EXPECT_EQ(p.at(0, 10), gray);
    EXPECT_EQ(p.at(1, 1), face);
    EXPECT_EQ(p.at(103, 18), face);
    EXPECT_EQ(p.at(-1, -1), host);
    EXPECT_EQ(p.at(105, 20), host);
    EXPECT_EQ(p.screen.count(RECT{kLeft, kTop, kLeft + 105, kTop + 20}, gray) -
                  p.screen.count(RECT{kLeft + 1, kTop + 1, kLeft + 104, kTop + 19}, gray),
              2 * 105 + 2 * 18);
    // The caption: taLeftJustify at X = 5, vertically centred.
    SIZE ext;
    RECT ref = reference_ink(p.button.font(), "Close", clBtnFace, clGray, ext);
    ASSERT_GT(ref.right, ref.left) << "no caption ink in the reference";
    EXPECT_TRUE(same_rect(p.caption_ink(), shifted(ref, 5, 20 / 2 - ext.cy / 2)));
}

TEST(SelButton, CaptionPositionForEachAlignment) {
    Placed p;
    p.button.SetCaption("Set as wallpaper");
    SIZE ext;
    RECT ref = reference_ink(p.button.font(), "Set as wallpaper", clBtnFace, clGray, ext);
    const int y = 20 / 2 - ext.cy / 2;

    p.button.SetAlignment(taRightJustify);
    p.render();
    EXPECT_TRUE(same_rect(p.caption_ink(), shifted(ref, 105 - ext.cx - 6, y)));

    p.button.SetAlignment(taCenter);
    p.render();
    EXPECT_TRUE(same_rect(p.caption_ink(), shifted(ref, 105 / 2 - ext.cx / 2, y)));

    p.button.SetAlignment(taLeftJustify);
    p.render();
    EXPECT_TRUE(same_rect(p.caption_ink(), shifted(ref, 5, y)));
}

TEST(SelButton, HoverAndPressedFacesForEachAlignment) {
    Placed p;
    p.button.SetCaption("Close");
    p.button.SetColorOver(rgb_color(0, 0, 255));
    p.button.SetColorDown(rgb_color(255, 0, 0));
    p.button.SetColorOverCaption(clWhite);
    MemorySurface s(105, 20);
    SIZE ext;
    const RECT hover_ref = reference_ink(p.button.font(), "Close", rgb_color(0, 0, 255), clWhite, ext);
    const RECT pressed_ref = reference_ink(p.button.font(), "Close", rgb_color(255, 0, 0), clWhite, ext);
    const int y = 20 / 2 - ext.cy / 2;
    struct Case {
        TAlignment alignment;
        int x;         // normal and hover
        int pressed_x; // one pixel right, but left for taRightJustify
    };
    const Case cases[] = {{taLeftJustify, 5, 6},
                          {taRightJustify, 105 - ext.cx - 6, 105 - ext.cx - 7},
                          {taCenter, 105 / 2 - ext.cx / 2, 105 / 2 - ext.cx / 2 + 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.alignment));
        p.button.SetAlignment(c.alignment);
        s.fill(RGB(192, 192, 192));
        p.button.paint(s.canvas());
        p.button.DrawFace(s.canvas(), ButtonFace::hover);
        EXPECT_EQ(s.pixel(1, 1), RGB(0, 0, 255));
        EXPECT_EQ(s.pixel(0, 0), RGB(128, 128, 128));
        EXPECT_TRUE(same_rect(s.ink(RECT{1, 1, 104, 19}, RGB(0, 0, 255)), shifted(hover_ref, c.x, y)));
        // Pressed after hover keeps the hover caption colour, one pixel down.
        p.button.DrawFace(s.canvas(), ButtonFace::pressed);
        EXPECT_EQ(s.pixel(1, 1), RGB(255, 0, 0));
        EXPECT_TRUE(
            same_rect(s.ink(RECT{1, 1, 104, 19}, RGB(255, 0, 0)), shifted(pressed_ref, c.pressed_x, y + 1)));
    }
}

TEST(SelButton, PressedAfterARepaintUsesTheFontColour) {
    Placed p;
    p.button.SetCaption("WWWW");
    gui::FontSpec f = p.button.font();
    f.size_pt = 14;
    f.bold = true;
    f.color = rgb_color(0, 128, 0);
    p.button.set_font(f);
    p.button.SetColorOverCaption(clWhite);
    p.button.SetColorDown(rgb_color(255, 0, 0));
    MemorySurface s(105, 20);
    p.button.paint(s.canvas());
    p.button.DrawFace(s.canvas(), ButtonFace::hover);
    p.button.paint(s.canvas()); // a repaint while the pointer stays over it
    p.button.DrawFace(s.canvas(), ButtonFace::pressed);
    EXPECT_GT(s.count(RECT{1, 1, 104, 19}, RGB(0, 128, 0)), 10);
    EXPECT_EQ(s.count(RECT{1, 1, 104, 19}, RGB(255, 255, 255)), 0);
}

TEST(SelButton, BorderWidthsZeroAndTwo) {
    Placed p;
    p.button.SetCaption("");
    const COLORREF face = gui::to_colorref(clBtnFace), gray = RGB(128, 128, 128), host = RGB(192, 192, 192);

    p.button.SetBorderWidth(0);
    p.render();
    // No frame: the outermost ring shows the host's background.
    EXPECT_EQ(p.at(0, 0), host);
    EXPECT_EQ(p.at(104, 19), host);
    EXPECT_EQ(p.at(50, 0), host);
    EXPECT_EQ(p.at(1, 1), face);
    EXPECT_EQ(p.screen.count(RECT{kLeft, kTop, kLeft + 105, kTop + 20}, gray), 0);

    p.button.SetBorderWidth(2);
    p.render();
    EXPECT_EQ(p.at(0, 0), gray);
    EXPECT_EQ(p.at(1, 1), gray);
    EXPECT_EQ(p.at(103, 18), gray);
    EXPECT_EQ(p.at(2, 2), face);
    EXPECT_EQ(p.at(102, 17), face);
    EXPECT_EQ(p.screen.count(RECT{kLeft, kTop, kLeft + 105, kTop + 20}, face), 101 * 16);

    // Deeper than half the height: the whole button in the border colour.
    p.button.SetBorderWidth(50);
    p.render();
    EXPECT_EQ(p.screen.count(RECT{kLeft, kTop, kLeft + 105, kTop + 20}, gray), 105 * 20);
    EXPECT_EQ(p.at(-1, 10), host);
}

TEST(SelButton, CaptionWiderThanTheButtonIsClipped) {
    Placed p;
    p.button.set_bounds(kLeft, kTop, 41, 17);
    p.button.SetAlignment(taCenter);
    p.button.SetCaption("A caption much wider than the button");
    p.render();
    const COLORREF host = RGB(192, 192, 192);
    for (int y = -2; y < 19; ++y) {
        EXPECT_EQ(p.at(-1, y), host);
        EXPECT_EQ(p.at(41, y), host);
    }
}

TEST(SelButton, DisabledFillIsTheParentBackground) {
    Placed p;
    p.button.SetCaption("Close");
    p.button.SetColor(rgb_color(0, 255, 0));
    p.button.SetEnabled(false);
    EXPECT_EQ(p.button.Color(), kHostColor);
    EXPECT_EQ(p.button.ColorSaved(), rgb_color(0, 255, 0));
    p.render();
    const COLORREF host = RGB(192, 192, 192);
    EXPECT_EQ(p.at(1, 1), host);
    EXPECT_EQ(p.at(0, 0), RGB(128, 128, 128)); // frame and caption stay
    EXPECT_EQ(p.screen.count(RECT{kLeft, kTop, kLeft + 105, kTop + 20}, RGB(0, 255, 0)), 0);
    EXPECT_GT(p.caption_ink().right, 0);

    p.button.SetEnabled(true);
    EXPECT_EQ(p.button.Color(), rgb_color(0, 255, 0));
    p.render();
    EXPECT_EQ(p.at(1, 1), RGB(0, 255, 0));
}

TEST(SelButton, EnablingAFreshButtonKeepsButtonFace) {
    Placed p;
    p.button.SetEnabled(true);
    EXPECT_EQ(p.button.Color(), clBtnFace);
    p.render();
    EXPECT_EQ(p.at(1, 1), gui::to_colorref(clBtnFace));
}

TEST(SelButton, RepeatedDisablingKeepsTheFirstSavedColour) {
    Placed p;
    p.button.SetColor(rgb_color(0, 255, 0));
    p.button.SetEnabled(false);
    p.host.set_color(rgb_color(200, 100, 50));
    p.button.SetEnabled(false);
    EXPECT_EQ(p.button.Color(), rgb_color(200, 100, 50));
    p.button.SetEnabled(true);
    EXPECT_EQ(p.button.Color(), rgb_color(0, 255, 0));
}

TEST(SelButton, ColourAssignedWhileDisabledShowsAndSurvivesEnabling) {
    Placed p;
    p.button.SetEnabled(false);
    p.button.SetColor(rgb_color(255, 255, 0));
    p.render();
    EXPECT_EQ(p.at(1, 1), RGB(255, 255, 0));
    p.button.SetEnabled(true);
    EXPECT_EQ(p.button.Color(), rgb_color(255, 255, 0));
}

// --- Interaction: the faces drawn at once go to a memory surface, so the tests can see
// which face shows at each moment. Fill colours tell the faces apart.

class ProbeButton : public TSelButton {
  public:
    MemorySurface surface{105, 20};

  protected:
    gui::Canvas& face_canvas() override { return surface.canvas(); }
};

constexpr COLORREF kNone = RGB(255, 0, 255);

class SelButtonEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        b.set_name("SelectSB");
        b.set_bounds(kLeft, kTop, 105, 20);
        b.set_parent(&host);
        b.SetCaption("Go");
        b.SetColor(rgb_color(0, 255, 0));
        b.SetColorOver(rgb_color(0, 0, 255));
        b.SetColorDown(rgb_color(255, 0, 0));
        b.paint(b.surface.canvas()); // the first paint sets the canvas font
        b.surface.fill(kNone);
        b.OnMouseDown = [this](gui::Object* s, gui::TMouseButton button, gui::TShiftState shift, int x,
                               int y) {
            EXPECT_EQ(s, &b);
            EXPECT_EQ(button, gui::mbLeft);
            log.push_back("OnMouseDown " + std::to_string(x) + "," + std::to_string(y) +
                          (shift.has(gui::ssDouble) ? " double" : "") + " over " + showing());
        };
        b.OnMouseUp = [this](gui::Object* s, gui::TMouseButton button, gui::TShiftState, int x, int y) {
            EXPECT_EQ(s, &b);
            EXPECT_EQ(button, gui::mbLeft);
            log.push_back("OnMouseUp " + std::to_string(x) + "," + std::to_string(y) + " over " + showing());
        };
        b.OnClick = [this](gui::Object* s) {
            EXPECT_EQ(s, &b);
            log.push_back("OnClick over " + showing());
        };
        b.OnMouseEnter = [this](gui::Object*) { log.push_back("OnMouseEnter"); };
        b.OnMouseLeave = [this](gui::Object*) { log.push_back("OnMouseLeave"); };
    }

    void TearDown() override { SetCursorPos(0, 0); }

    // The face on the surface, told by its fill.
    std::string showing() const {
        COLORREF c = b.surface.pixel(2, 10);
        if (c == RGB(0, 255, 0))
            return "normal";
        if (c == RGB(0, 0, 255))
            return "hover";
        if (c == RGB(255, 0, 0))
            return "pressed";
        if (c == RGB(192, 192, 192))
            return "disabled";
        if (c == kNone)
            return "nothing";
        return "other";
    }
    // Sends a message and notes the face showing afterwards.
    void act(const std::string& what, UINT msg, int x, int y, WPARAM keys = 0) {
        host.send(msg, kLeft + x, kTop + y, keys);
        log.push_back(what + ": " + showing());
    }
    // Mouse-up looks at the real cursor, so it is put where the messages say it is.
    void cursor_at(int x, int y) { EXPECT_TRUE(host.put_cursor(kLeft + x, kTop + y)) << "cursor not placed"; }

    ControlsHost host{kHostColor};
    ProbeButton b;
    std::vector<std::string> log;
};

TEST_F(SelButtonEvents, ClickOrder) {
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    act("release", WM_LBUTTONUP, 10, 10);
    host.put_cursor(kLeft + 200, kTop + 100);
    act("move off", WM_MOUSEMOVE, 200, 100);
    const std::vector<std::string> expected = {
        "OnMouseEnter",   "move on: hover",      "OnMouseDown 10,10 over hover",
        "press: pressed", "OnClick over normal", "OnMouseUp 10,10 over normal",
        "release: hover", "OnMouseLeave",        "move off: normal",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, DoubleClickGivesOneClick) {
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    act("release", WM_LBUTTONUP, 10, 10);
    act("second press", WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    act("second release", WM_LBUTTONUP, 10, 10);
    const std::vector<std::string> expected = {
        "OnMouseEnter",
        "move on: hover",
        "OnMouseDown 10,10 over hover",
        "press: pressed",
        "OnClick over normal",
        "OnMouseUp 10,10 over normal",
        "release: hover",
        "OnMouseDown 10,10 double over hover",
        "second press: pressed",
        "OnMouseUp 10,10 over pressed",
        "second release: hover",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, PressAndLeave) {
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    host.put_cursor(kLeft + 200, kTop + 100);
    act("move off", WM_MOUSEMOVE, 200, 100, MK_LBUTTON);
    b.surface.fill(kNone);
    act("release outside", WM_LBUTTONUP, 200, 100);
    const std::vector<std::string> expected = {
        "OnMouseEnter", "move on: hover",   "OnMouseDown 10,10 over hover",   "press: pressed",
        "OnMouseLeave", "move off: normal", "OnMouseUp 200,100 over nothing", "release outside: nothing",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, PressLeaveAndComeBack) {
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    act("move off", WM_MOUSEMOVE, 200, 100, MK_LBUTTON);
    act("move back", WM_MOUSEMOVE, 12, 8, MK_LBUTTON);
    act("release", WM_LBUTTONUP, 12, 8);
    const std::vector<std::string> expected = {
        "OnMouseEnter",
        "move on: hover",
        "OnMouseDown 10,10 over hover",
        "press: pressed",
        "OnMouseLeave",
        "move off: normal",
        "OnMouseEnter",
        "move back: hover",
        "OnClick over normal",
        "OnMouseUp 12,8 over normal",
        "release: hover",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, RightAndMiddleButtonsDoNothing) {
    cursor_at(10, 10);
    act("right press", WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
    act("right release", WM_RBUTTONUP, 10, 10);
    act("middle press", WM_MBUTTONDOWN, 10, 10, MK_MBUTTON);
    act("middle release", WM_MBUTTONUP, 10, 10);
    const std::vector<std::string> expected = {"right press: nothing", "right release: nothing",
                                               "middle press: nothing", "middle release: nothing"};
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, DisabledButtonOnlyRepaintsOnClick) {
    b.SetEnabled(false);
    b.surface.fill(kNone);
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    act("release", WM_LBUTTONUP, 10, 10);
    act("move off", WM_MOUSEMOVE, 200, 100);
    // The click still paints the normal face, in the parent's background.
    const std::vector<std::string> expected = {"move on: nothing", "press: nothing", "release: disabled",
                                               "move off: disabled"};
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, DisabledUnderThePointerStillReportsTheLeave) {
    cursor_at(10, 10);
    b.OnClick = [this](gui::Object*) {
        log.push_back("OnClick");
        b.SetEnabled(false);
    };
    act("move on", WM_MOUSEMOVE, 10, 10);
    act("press", WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    act("release", WM_LBUTTONUP, 10, 10);
    act("move off", WM_MOUSEMOVE, 200, 100);
    act("move on again", WM_MOUSEMOVE, 10, 10);
    const std::vector<std::string> expected = {
        "OnMouseEnter", "move on: hover", "OnMouseDown 10,10 over hover", "press: pressed", "OnClick",
        // Disabled by its own click: no up, no hover face.
        "release: normal", "OnMouseLeave", "move off: disabled", "move on again: disabled"};
    EXPECT_EQ(log, expected);
}

TEST_F(SelButtonEvents, StoredColoursShowOnlyAtTheNextDrawing) {
    cursor_at(10, 10);
    act("move on", WM_MOUSEMOVE, 10, 10);
    b.SetColorOver(rgb_color(255, 255, 0));
    b.SetColorDown(rgb_color(0, 255, 255));
    EXPECT_EQ(showing(), "hover"); // unchanged
    host.send(WM_LBUTTONDOWN, kLeft + 10, kTop + 10, MK_LBUTTON);
    EXPECT_EQ(b.surface.pixel(2, 10), RGB(0, 255, 255));
    host.send(WM_LBUTTONUP, kLeft + 10, kTop + 10);
    EXPECT_EQ(b.surface.pixel(2, 10), RGB(255, 255, 0));
}

TEST_F(SelButtonEvents, MoveEventsArriveWhileDisabled) {
    int moves = 0;
    b.OnMouseMove = [&](gui::Object* s, gui::TShiftState, int x, int y) {
        EXPECT_EQ(s, &b);
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 9);
        ++moves;
    };
    b.SetEnabled(false);
    host.send(WM_MOUSEMOVE, kLeft + 7, kTop + 9);
    EXPECT_EQ(moves, 1);
}

} // namespace
} // namespace velmaro::controls
