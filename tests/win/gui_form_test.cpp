// Forms and the application: sizes and borders from the description, modal showing with
// the owner disabled, the close handlers, activation, the main form's close ending the
// loop, Enter and Esc on default and cancel buttons, menus and accelerators, and timers
// ticking inside modal loops and message boxes.
#include "gui/form_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/error.h"
#include "gui/application_win.h"
#include "gui/controls_win.h"
#include "gui/timer_win.h"
#include "gui_test_support.h"

namespace velmaro::gui {
namespace {

class TestForm : public Form {
  public:
    TestForm(Application& app, FormDesc d) : Form(app, std::move(d)) {}
    explicit TestForm(Application& app)
        : Form(app, FormDesc{.window_class = "TTestForm",
                             .caption = "Test",
                             .border = BorderKind::tool_fixed,
                             .left = 30,
                             .top = 40,
                             .width = 258,
                             .height = 147}) {}
    int creates = 0, activations = 0, close_queries = 0, closes = 0;
    bool allow_close = true;
    CloseAction action_to_give = CloseAction::hide;
    bool throw_in_close = false;

  protected:
    void on_create() override { ++creates; }
    void on_activate() override { ++activations; }
    bool on_close_query() override {
        ++close_queries;
        return allow_close;
    }
    void on_close(CloseAction& a) override {
        ++closes;
        if (throw_in_close)
            throw FileError("Cannot create file C:\\Directory.drl");
        a = action_to_give;
    }
};

RECT client_rect(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
}
RECT window_rect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
}

TEST(Form, IsCreatedHiddenWithItsClientSizeAndPosition) {
    Application app;
    auto& f = app.create_form<TestForm>();
    EXPECT_EQ(f.creates, 1);
    EXPECT_FALSE(IsWindowVisible(f.hwnd()));
    RECT c = client_rect(f.hwnd());
    EXPECT_EQ(c.right, 258);
    EXPECT_EQ(c.bottom, 147);
    EXPECT_EQ(window_rect(f.hwnd()).left, 30);
    EXPECT_EQ(window_rect(f.hwnd()).top, 40);
    char cls[64];
    GetClassNameA(f.hwnd(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TTestForm");
    EXPECT_EQ(f.caption(), "Test");
    EXPECT_EQ(&app, &f.app());
    EXPECT_EQ(Form::from_hwnd(f.hwnd()), &f);
}

TEST(Form, OuterSizeAndCentringWhenShown) {
    Application app;
    auto& f = app.create_form<TestForm>(FormDesc{.window_class = "TOuter",
                                                 .caption = "About",
                                                 .border = BorderKind::tool_sizeable_no_buttons,
                                                 .width = 291,
                                                 .height = 243,
                                                 .client_size = false,
                                                 .position = FormPosition::screen_center});
    RECT w = window_rect(f.hwnd());
    EXPECT_EQ(w.right - w.left, 291);
    EXPECT_EQ(w.bottom - w.top, 243);
    f.show();
    w = window_rect(f.hwnd());
    EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - 291) / 2);
    EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - 243) / 2);
    f.hide();
}

TEST(Form, BorderKindsGiveTheirStyles) {
    Application app;
    struct Case {
        BorderKind kind;
        bool caption, sysmenu, sizeable, tool;
    };
    for (Case c : {Case{BorderKind::none, false, false, false, false},
                   Case{BorderKind::tool_fixed, true, true, false, true},
                   Case{BorderKind::tool_sizeable, true, true, true, true},
                   Case{BorderKind::tool_sizeable_no_buttons, true, false, true, true}}) {
        TestForm f(app, FormDesc{.window_class = "TBorder", .border = c.kind, .width = 50, .height = 50});
        LONG st = GetWindowLongA(f.hwnd(), GWL_STYLE), ex = GetWindowLongA(f.hwnd(), GWL_EXSTYLE);
        EXPECT_EQ((st & WS_CAPTION) == WS_CAPTION, c.caption);
        EXPECT_EQ((st & WS_SYSMENU) != 0, c.sysmenu);
        EXPECT_EQ((st & WS_THICKFRAME) != 0, c.sizeable);
        EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, c.tool);
        // A borderless form's client area is its whole window.
        if (c.kind == BorderKind::none) {
            EXPECT_EQ(window_rect(f.hwnd()).right - window_rect(f.hwnd()).left, 50);
        }
    }
}

TEST(Form, AMaximizedToolWindowKeepsItsCaptionOnTheScreenAndItsNormalBounds) {
    Application app;
    auto& f = app.create_form<TestForm>(FormDesc{.window_class = "TMaxForm",
                                                 .caption = "Velmaro v1.0",
                                                 .border = BorderKind::tool_sizeable,
                                                 .left = 230,
                                                 .top = 105,
                                                 .width = 450,
                                                 .height = 459,
                                                 .client_size = false,
                                                 .maximized = true});
    f.menu().add_popup("Ac&tions").add("E&xit");
    f.attach_menu();
    f.show_designed();
    EXPECT_TRUE(IsZoomed(f.hwnd()));
    TITLEBARINFO tb{};
    tb.cbSize = sizeof tb;
    GetTitleBarInfo(f.hwnd(), &tb);
    EXPECT_GE(tb.rcTitleBar.top, 0) << "the caption bar is on the screen";
    POINT origin{0, 0};
    ClientToScreen(f.hwnd(), &origin);
    EXPECT_GE(origin.y, GetSystemMetrics(SM_CYSMCAPTION)) << "caption and menu above the client area";
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(f.hwnd(), &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 230);
    EXPECT_EQ(wp.rcNormalPosition.top, 105);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 450);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 459);
    f.hide();
}

TEST(Form, ShowModalDisablesTheOwnerAndReturnsTheModalResult) {
    Application app;
    auto& main = app.create_form<TestForm>();
    auto& dlg = app.create_form<TestForm>();
    main.show();
    bool main_disabled = false, dlg_visible = false;
    Timer t(30, true);
    t.OnTimer = [&](Object*) {
        t.set_enabled(false);
        main_disabled = !IsWindowEnabled(main.hwnd());
        dlg_visible = dlg.visible();
        dlg.set_modal_result(mrOk);
    };
    EXPECT_EQ(app.show_modal(dlg), mrOk);
    EXPECT_TRUE(main_disabled);
    EXPECT_TRUE(dlg_visible);
    EXPECT_FALSE(dlg.visible());
    EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
    EXPECT_FALSE(dlg.is_modal());
    EXPECT_EQ(dlg.close_queries, 1) << "a modal result runs the close handlers once";
    main.hide();
}

TEST(Form, CloseOfAModalFormEndsItWithCancelAndCanBeAbandoned) {
    Application app;
    app.create_form<TestForm>(); // main form
    auto& dlg = app.create_form<TestForm>();
    dlg.allow_close = false;
    int tick = 0;
    Timer t(30, true);
    t.OnTimer = [&](Object*) {
        ++tick;
        if (tick == 1)
            dlg.close(); // refused by the close query
        if (tick == 2) {
            EXPECT_TRUE(dlg.visible());
            dlg.allow_close = true;
            PostMessageA(dlg.hwnd(), WM_CLOSE, 0, 0); // the close box
            t.set_enabled(false);
        }
    };
    EXPECT_EQ(app.show_modal(dlg), mrCancel);
    EXPECT_EQ(tick, 2);
    EXPECT_EQ(dlg.close_queries, 2);
    EXPECT_EQ(dlg.closes, 1);
}

TEST(Form, AFailingCloseHandlerIsReportedAndAbandonsTheClose) {
    Application app;
    app.set_title("Velmaro");
    auto& f = app.create_form<TestForm>();
    f.show();
    f.throw_in_close = true;
    test::BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    f.close();
    EXPECT_EQ(driver.seen().text, "Cannot create file C:\\Directory.drl.");
    EXPECT_TRUE(f.visible());
    // A later close tries again and, being the main form's, asks the loop to end.
    f.throw_in_close = false;
    f.close();
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    f.hide();
}

TEST(Form, ClosingTheMainFormEndsRun) {
    Application app;
    auto& f = app.create_form<TestForm>();
    auto& other = app.create_form<TestForm>();
    Timer t(30, true);
    t.OnTimer = [&](Object*) {
        t.set_enabled(false);
        other.show();
        other.close(); // an ordinary form only hides
        EXPECT_FALSE(other.visible());
        PostMessageA(f.hwnd(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(app.run(), 0);
    EXPECT_TRUE(f.visible()) << "run() showed the main form; closing it does not hide it";
    EXPECT_EQ(f.closes, 1);
    f.hide();
}

TEST(Form, AQuitRequestAlreadyWaitingEndsRunAtOnce) {
    Application app;
    app.create_form<TestForm>();
    app.request_quit(3);
    EXPECT_EQ(app.run(), 3);
    app.main_form()->hide();
}

TEST(Form, ActivationRunsOnEachShowingButNotAfterAMessageBox) {
    Application app;
    app.create_form<TestForm>();
    auto& dlg = app.create_form<TestForm>();
    Timer t(30, true);
    int step = 0;
    int after_show = -1, after_box = -1;
    t.OnTimer = [&](Object*) {
        if (step++ != 0)
            return;
        t.set_enabled(false);
        after_show = dlg.activations;
        test::BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
        message_box(MsgKind::information, "x", mbOK);
        after_box = dlg.activations;
        dlg.set_modal_result(mrOk);
    };
    app.show_modal(dlg);
    EXPECT_EQ(after_show, 1);
    EXPECT_EQ(after_box, 1);
    t.set_enabled(true);
    step = 0;
    app.show_modal(dlg);
    EXPECT_EQ(dlg.activations, 2) << "the second showing activates again";
}

// A top-level window with its own thread and message loop: to the forms, another program.
class OtherProgram {
  public:
    OtherProgram() {
        thread_ = std::thread([this] {
            HWND h = CreateWindowExA(0, "STATIC", "Other program", WS_POPUP | WS_CAPTION | WS_VISIBLE, 500,
                                     400, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            thread_id_.store(GetCurrentThreadId());
            hwnd_.store(h);
            MSG m;
            while (GetMessageA(&m, nullptr, 0, 0) > 0)
                DispatchMessageA(&m);
            DestroyWindow(h);
        });
        test::pump_until([&] { return hwnd_.load() != nullptr; });
    }
    ~OtherProgram() {
        PostThreadMessageA(thread_id_.load(), WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND hwnd() const { return hwnd_.load(); }

  private:
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<DWORD> thread_id_{0};
    std::thread thread_;
};

bool switch_to(HWND h) {
    SetForegroundWindow(h);
    return test::pump_until([&] { return GetForegroundWindow() == h; }, 3000);
}

TEST(Form, ActivationRunsWhenShownAndWithinTheProgramButNotBackFromAnotherProgram) {
    Application app;
    auto& main = app.create_form<TestForm>();
    auto& dlg = app.create_form<TestForm>(
        FormDesc{.window_class = "TOptions", .left = 320, .top = 40, .width = 200, .height = 120});
    OtherProgram other;
    main.show();
    dlg.show();
    test::pump_for(50);
    ASSERT_EQ(GetActiveWindow(), dlg.hwnd());
    EXPECT_EQ(main.activations, 1);
    EXPECT_EQ(dlg.activations, 1);

    // Alt+Tab to another program and back: the dialog keeps what the user chose.
    ASSERT_TRUE(switch_to(other.hwnd()));
    ASSERT_TRUE(switch_to(dlg.hwnd()));
    test::pump_for(50);
    EXPECT_EQ(dlg.activations, 1) << "a return from another program is no activation";

    // From one of the program's windows to another: each is activated.
    ASSERT_TRUE(switch_to(main.hwnd()));
    EXPECT_EQ(main.activations, 2);
    ASSERT_TRUE(switch_to(dlg.hwnd()));
    EXPECT_EQ(dlg.activations, 2);

    // Shown again, even while another program is in front: activated.
    ASSERT_TRUE(switch_to(other.hwnd()));
    dlg.hide();
    dlg.show();
    test::pump_until([&] { return GetForegroundWindow() == dlg.hwnd(); }, 3000);
    EXPECT_EQ(dlg.activations, 3);
    dlg.hide();
    main.hide();
}

class ButtonsForm : public TestForm {
  public:
    explicit ButtonsForm(Application& app)
        : TestForm(app), ok(*this, 40, 112, 75, 25, "&OK"), cancel(*this, 144, 112, 75, 25, "&Cancel"),
          check(*this, 8, 56, 129, 17, "Randomize &file list") {
        ok.set_default(true);
        ok.set_modal_result(mrOk);
        ok.OnClick = [this](Object* s) {
            ++ok_clicks;
            sender = s;
        };
        cancel.set_cancel(true);
        cancel.OnClick = [this](Object*) { close(); };
    }
    PushButton ok, cancel;
    CheckBox check;
    int ok_clicks = 0;
    Object* sender = nullptr;
};

TEST(Form, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    Application app;
    app.create_form<TestForm>();
    auto& f = app.create_form<ButtonsForm>();
    Timer t(30, true);
    t.OnTimer = [&](Object*) {
        t.set_enabled(false);
        f.check.focus(); // Enter in a check box still presses the default button
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    };
    EXPECT_EQ(app.show_modal(f), mrOk);
    EXPECT_EQ(f.ok_clicks, 1);
    EXPECT_EQ(f.sender, &f.ok);

    t.OnTimer = [&](Object*) {
        t.set_enabled(false);
        PostMessageA(GetFocus() ? GetFocus() : f.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    };
    t.set_enabled(true);
    EXPECT_EQ(app.show_modal(f), mrCancel);
    EXPECT_EQ(f.ok_clicks, 1);
}

class MenuForm : public TestForm {
  public:
    explicit MenuForm(Application& app) : TestForm(app) {
        MenuPopup& actions = menu().add_popup("Ac&tions");
        set = &actions.add("Set as wallpaper", Shortcut::ctrl_key('S'), [this](Object* s) {
            ++set_clicks;
            sender = s;
        });
        actions.add("Select &directory");
        actions.add_separator();
        actions.add("E&xit", [this](Object*) { close(); });
        menu().add_popup("&Help").add("&About");
        attach_menu();
    }
    MenuItem* set;
    int set_clicks = 0;
    Object* sender = nullptr;
};

std::string menu_text(HMENU m, int pos) {
    char buf[128] = "";
    GetMenuStringA(m, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

TEST(Form, MainMenuItemsShortcutsAndClicks) {
    Application app;
    auto& f = app.create_form<MenuForm>();
    HMENU bar = GetMenu(f.hwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(menu_text(bar, 0), "Ac&tions");
    HMENU actions = GetSubMenu(bar, 0);
    EXPECT_EQ(GetMenuItemCount(actions), 4);
    EXPECT_EQ(menu_text(actions, 0), "Set as wallpaper\tCtrl+S");
    EXPECT_EQ(GetMenuState(actions, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    // The client area keeps its size under the menu bar.
    EXPECT_EQ(client_rect(f.hwnd()).bottom, 147);

    SendMessageA(f.hwnd(), WM_COMMAND, MAKEWPARAM(f.set->id(), 0), 0);
    EXPECT_EQ(f.set_clicks, 1);
    EXPECT_EQ(f.sender, f.set);

    // Ctrl+S through the loop's accelerator translation.
    f.show();
    SetForegroundWindow(f.hwnd());
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{f.hwnd(), WM_KEYDOWN, 'S', 1, 0, {}};
    dispatch_message(msg);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(f.set_clicks, 2);
    // Without Ctrl the key is no accelerator.
    MSG plain{f.hwnd(), WM_KEYDOWN, 'S', 1, 0, {}};
    dispatch_message(plain);
    EXPECT_EQ(f.set_clicks, 2);
    f.hide();
}

TEST(Timers, TickInsideAMessageBoxAndAModalLoop) {
    Application app;
    app.create_form<TestForm>();
    auto& dlg = app.create_form<TestForm>();
    int background_ticks = 0;
    Timer background(20, true);
    background.OnTimer = [&](Object*) { ++background_ticks; };

    // A message box's loop: the other timer keeps ticking while the box is open.
    int ticks_in_box = -1;
    Timer closer(250, true);
    closer.OnTimer = [&](Object*) {
        closer.set_enabled(false);
        ticks_in_box = background_ticks;
        if (HWND box = test::find_message_box())
            test::press_key(box, VK_RETURN);
    };
    int start = background_ticks;
    EXPECT_EQ(message_box(MsgKind::information, "wait", mbOK), idOk);
    EXPECT_GE(ticks_in_box - start, 3);

    // A modal form's loop likewise.
    closer.OnTimer = [&](Object*) {
        closer.set_enabled(false);
        ticks_in_box = background_ticks;
        dlg.close();
    };
    closer.set_enabled(true);
    start = background_ticks;
    app.show_modal(dlg);
    EXPECT_GE(ticks_in_box - start, 3);
}

TEST(Timers, IntervalAndEnabledControlTheTicks) {
    Timer t(20, false);
    int ticks = 0;
    t.OnTimer = [&](Object* s) {
        EXPECT_EQ(s, &t);
        ++ticks;
    };
    test::pump_for(120);
    EXPECT_EQ(ticks, 0) << "a disabled timer does not tick";
    t.set_enabled(true);
    EXPECT_TRUE(test::pump_until([&] { return ticks >= 2; }, 2000));
    t.set_interval(0);
    int now = ticks;
    test::pump_for(120);
    EXPECT_EQ(ticks, now) << "interval 0 stops the ticks";
    // A one-shot: the handler stops its own timer first, as the program's do.
    t.OnTimer = [&](Object*) {
        t.set_enabled(false);
        ++ticks;
    };
    t.set_interval(20);
    now = ticks;
    test::pump_for(200);
    EXPECT_EQ(ticks, now + 1);
    EXPECT_FALSE(t.enabled());
    EXPECT_EQ(t.interval(), 20u);
}

TEST(Timers, ReArmingRestartsTheCountdown) {
    Timer t(300, true);
    int ticks = 0;
    t.OnTimer = [&](Object*) { ++ticks; };
    // Re-enabled every 100 ms, a 300 ms timer never comes due.
    for (int i = 0; i < 5; ++i) {
        test::pump_for(100);
        t.set_enabled(true);
    }
    EXPECT_EQ(ticks, 0);
}

} // namespace
} // namespace velmaro::gui
