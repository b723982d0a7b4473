// The host of windowless controls, driven with synthetic mouse messages: the order of
// enter, leave, press, release and click, double clicks, the capture from a left press to
// its release, and what a control under another's capture receives.
#include "gui/graphic_control_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "gui/application_win.h"
#include "gui/controls_win.h"
#include "gui/form_win.h"
#include "gui/hint_win.h"
#include "gui_test_support.h"

namespace velmaro::gui {
namespace {

using Log = std::vector<std::string>;

class Recorder : public GraphicControl {
  public:
    Recorder(Log& log, std::string tag, Container& parent, int x, int y, int w, int h)
        : log_(log), tag_(tag) {
        set_name(tag);
        set_bounds(x, y, w, h);
        set_parent(&parent);
    }
    bool throw_in_click = false;
    int parent_changes = 0;
    TShiftState last_shift;
    POINT last_point{-1, -1};

    void mouse_enter() override { log_.push_back(tag_ + ":enter"); }
    void mouse_leave() override { log_.push_back(tag_ + ":leave"); }
    void mouse_down(TMouseButton b, TShiftState s, int x, int y) override {
        last_shift = s;
        last_point = {x, y};
        log_.push_back(tag_ + ":down" + button(b) + (s.has(ssDouble) ? "+double" : ""));
    }
    void mouse_up(TMouseButton b, TShiftState, int x, int y) override {
        last_point = {x, y};
        log_.push_back(tag_ + ":up" + button(b));
    }
    void click() override {
        log_.push_back(tag_ + ":click");
        if (throw_in_click)
            throw Error("Click failed");
    }
    void on_parent_changed() override { ++parent_changes; }

  private:
    static std::string button(TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; }
    Log& log_;
    std::string tag_;
};

class HostForm : public Form {
  public:
    explicit HostForm(Application& app)
        : Form(app, FormDesc{.window_class = "THostForm",
                             .caption = "Host",
                             .border = BorderKind::tool_fixed,
                             .left = 20,
                             .top = 20,
                             .width = 300,
                             .height = 200}) {}
};

class GraphicHost : public ::testing::Test {
  protected:
    GraphicHost()
        : form(app.create_form<HostForm>()), a(log, "A", form, 10, 10, 50, 20),
          b(log, "B", form, 100, 10, 50, 20) {
        form.show();
    }
    ~GraphicHost() override { form.hide(); }

    void send(UINT msg, int x, int y, WPARAM keys = 0) {
        SendMessageA(form.hwnd(), msg, keys, MAKELPARAM(x, y));
    }
    void move(int x, int y, WPARAM keys = 0) { send(WM_MOUSEMOVE, x, y, keys); }
    void press(int x, int y) { send(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
    void release(int x, int y) { send(WM_LBUTTONUP, x, y); }
    Log take() { return std::exchange(log, {}); }

    Application app;
    HostForm& form;
    Log log;
    Recorder a, b;
};

TEST_F(GraphicHost, EnterPressLeaveReEnterReleaseGivesClickBeforeUp) {
    move(20, 15);
    press(20, 15);
    EXPECT_EQ(GetCapture(), form.hwnd()) << "a left press captures the mouse";
    EXPECT_EQ(form.capture_control(), &a);
    move(80, 80, MK_LBUTTON);
    move(21, 16, MK_LBUTTON);
    release(21, 16);
    EXPECT_EQ(take(), (Log{"A:enter", "A:downL", "A:leave", "A:enter", "A:click", "A:upL"}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form.capture_control(), nullptr);
    EXPECT_EQ(a.last_point.x, 11);
    EXPECT_EQ(a.last_point.y, 6) << "positions are in the control's coordinates";
}

TEST_F(GraphicHost, ReleaseOutsideGivesNoClick) {
    move(20, 15);
    press(20, 15);
    move(80, 80, MK_LBUTTON);
    release(80, 80);
    EXPECT_EQ(take(), (Log{"A:enter", "A:downL", "A:leave", "A:upL"}));
    move(81, 81);
    EXPECT_TRUE(take().empty());
}

TEST_F(GraphicHost, DoubleClickGivesOneClickAndADoublePress) {
    move(20, 15);
    press(20, 15);
    release(20, 15);
    send(WM_LBUTTONDBLCLK, 20, 15, MK_LBUTTON);
    EXPECT_TRUE(a.last_shift.has(ssDouble));
    EXPECT_TRUE(a.last_shift.has(ssLeft));
    release(20, 15);
    EXPECT_EQ(take(), (Log{"A:enter", "A:downL", "A:click", "A:upL", "A:downL+double", "A:upL"}));
    // The next single press clicks again.
    press(20, 15);
    release(20, 15);
    EXPECT_EQ(take(), (Log{"A:downL", "A:click", "A:upL"}));
}

TEST_F(GraphicHost, AnotherControlsCaptureKeepsEnterAndLeaveFromAControl) {
    move(20, 15);
    press(20, 15);
    move(120, 15, MK_LBUTTON); // onto B while A holds the capture
    move(125, 16, MK_LBUTTON);
    release(125, 16);
    EXPECT_EQ(take(), (Log{"A:enter", "A:downL", "A:leave", "A:upL"}));
    // B never got an enter; moving within it gives nothing, leaving it gives a leave.
    move(126, 17);
    EXPECT_TRUE(take().empty());
    move(200, 150);
    EXPECT_EQ(take(), (Log{"B:leave"}));
}

TEST_F(GraphicHost, WithoutCaptureThePointerMovesFromControlToControl) {
    move(20, 15);
    move(120, 15);
    SendMessageA(form.hwnd(), WM_MOUSELEAVE, 0, 0); // the pointer left the window
    EXPECT_EQ(take(), (Log{"A:enter", "A:leave", "B:enter", "B:leave"}));
}

TEST_F(GraphicHost, RightAndMiddleButtonsNeitherCaptureNorClick) {
    move(20, 15);
    send(WM_RBUTTONDOWN, 20, 15, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), nullptr);
    send(WM_RBUTTONUP, 20, 15);
    send(WM_MBUTTONDOWN, 20, 15, MK_MBUTTON);
    send(WM_MBUTTONUP, 20, 15);
    EXPECT_EQ(take(), (Log{"A:enter", "A:downR", "A:upR", "A:downM", "A:upM"}));
}

TEST_F(GraphicHost, ADisabledControlGetsEnterAndLeaveButNoPresses) {
    a.set_enabled(false);
    move(20, 15);
    press(20, 15);
    release(20, 15);
    move(80, 80);
    EXPECT_EQ(take(), (Log{"A:enter", "A:leave"}));
    POINT pt{20, 15};
    ClientToScreen(form.hwnd(), &pt);
    EXPECT_EQ(form.control_at(pt), &a) << "control_at finds disabled controls too";
}

TEST_F(GraphicHost, ControlAtFindsTheTopmostVisibleControl) {
    Recorder c(log, "C", form, 30, 12, 50, 20); // over the right part of A
    auto screen = [&](int x, int y) {
        POINT pt{x, y};
        ClientToScreen(form.hwnd(), &pt);
        return pt;
    };
    EXPECT_EQ(form.control_at(screen(40, 15)), &c);
    EXPECT_EQ(form.control_at(screen(15, 15)), &a);
    EXPECT_EQ(form.control_at(screen(5, 5)), nullptr);
    // Right and bottom edges are outside.
    EXPECT_EQ(form.control_at(screen(60, 15)), &c);
    EXPECT_EQ(form.control_at(screen(80, 15)), nullptr);
    c.set_visible(false);
    EXPECT_EQ(form.control_at(screen(40, 15)), &a);
    move(40, 15);
    EXPECT_EQ(take(), (Log{"A:enter"})) << "an invisible control gets no pointer";
}

TEST_F(GraphicHost, AFailingClickIsReportedAndTheReleaseStillArrives) {
    app.set_title("Velmaro");
    a.throw_in_click = true;
    test::BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    move(20, 15);
    press(20, 15);
    release(20, 15);
    EXPECT_EQ(driver.seen().text, "Click failed.");
    EXPECT_EQ(take(), (Log{"A:enter", "A:downL", "A:click", "A:upL"}));
}

TEST_F(GraphicHost, ParentAssignmentAndRemoval) {
    EXPECT_EQ(a.parent(), &form);
    EXPECT_EQ(a.parent_changes, 1);
    a.set_parent(&form);
    EXPECT_EQ(a.parent_changes, 1) << "the same parent again changes nothing";
    a.set_parent(nullptr);
    EXPECT_EQ(a.parent_changes, 2);
    EXPECT_EQ(form.graphic_controls().size(), 1u);
    EXPECT_THROW(a.canvas(), Error);
    EXPECT_THROW(a.repaint(), Error);
    EXPECT_NO_THROW(a.invalidate());
    move(20, 15);
    EXPECT_TRUE(take().empty());
    {
        Recorder gone(log, "G", form, 10, 10, 50, 20);
        move(20, 15);
    }
    // The host forgot the destroyed control: moving away sends it nothing.
    move(200, 150);
    EXPECT_EQ(take(), (Log{"G:enter"}));
}

TEST_F(GraphicHost, ControlsInAPanelGetTheirEventsThroughThePanel) {
    Panel panel(form, 0, 100, 200, 80, BevelCut::lowered, BevelCut::raised);
    Recorder p(log, "P", panel, 10, 10, 40, 20);
    auto to_panel = [&](UINT msg, int x, int y, WPARAM k) {
        SendMessageA(panel.hwnd(), msg, k, MAKELPARAM(x, y));
    };
    to_panel(WM_MOUSEMOVE, 15, 15, 0);
    to_panel(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), panel.hwnd());
    to_panel(WM_LBUTTONUP, 15, 15, 0);
    EXPECT_EQ(take(), (Log{"P:enter", "P:downL", "P:click", "P:upL"}));
    EXPECT_EQ(panel.owning_form(), &form);
}

TEST_F(GraphicHost, HintsFollowTheControlsFlagsAndText) {
    a.set_hint("Select folder");
    Hints& hints = form.hints();
    auto id = reinterpret_cast<UINT_PTR>(&a);
    EXPECT_EQ(hints.text_of(form.hwnd(), id, false), "") << "no hint until show_hint is on";
    a.set_show_hint(true);
    EXPECT_FALSE(a.parent_show_hint());
    EXPECT_EQ(hints.text_of(form.hwnd(), id, false), "Select folder");
    a.set_hint("Unselect folder");
    EXPECT_EQ(hints.text_of(form.hwnd(), id, false), "Unselect folder");
    a.set_hint("");
    EXPECT_EQ(hints.text_of(form.hwnd(), id, false), "");
    // Following the parent's flag.
    b.set_hint("Parent's");
    EXPECT_TRUE(b.parent_show_hint());
    EXPECT_FALSE(b.hint_active());
    form.set_show_hint(true);
    b.set_parent_show_hint(true);
    EXPECT_EQ(hints.text_of(form.hwnd(), reinterpret_cast<UINT_PTR>(&b), false), "Parent's");
}

TEST_F(GraphicHost, CursorOfTheControlUnderThePointer) {
    a.set_cursor(crHandPoint);
    POINT pt{20, 15};
    ClientToScreen(form.hwnd(), &pt);
    SetCursorPos(pt.x, pt.y);
    SendMessageA(form.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    form.set_cursor(crHourGlass);
    pt = {200, 150};
    ClientToScreen(form.hwnd(), &pt);
    SetCursorPos(pt.x, pt.y);
    SendMessageA(form.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

} // namespace
} // namespace velmaro::gui
