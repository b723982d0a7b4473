// High contrast (which Wine cannot switch on, so the setting is stood in for) and the
// hover buttons as the client-area object shows them, in-process.
#include <gtest/gtest.h>

#include "controls/URLLabel_win.h"
#include "controls/accessible_controls_win.h"
#include "controls_host.h"
#include "gui/contrast_win.h"

namespace velmaro::controls {
namespace {

using test::ControlsHost;
using test::MemorySurface;

TEST(HighContrast, ButtonAndLinkDrawInTheSystemColours) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT),
                   hot = GetSysColor(COLOR_HIGHLIGHT), hot_text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    // The designed colours differ from the system's, so the pixels tell which were used.
    ASSERT_NE(text, RGB(128, 128, 128));
    ASSERT_NE(hot, RGB(132, 185, 164));
    ControlsHost host(clBtnFace);
    TSelButton b;
    b.set_bounds(0, 0, 105, 20);
    b.set_parent(&host);
    b.SetCaption("Set as wallpaper");
    b.SetColor(rgb_color(0, 255, 0));
    TURLLabel link;
    link.set_parent(&host);
    link.set_bounds(0, 40, 98, 13);
    MemorySurface s(320, 200);
    const RECT button{1, 1, 104, 19}, label{0, 40, 98, 53};

    host.render(s);
    EXPECT_EQ(s.pixel(0, 0), RGB(128, 128, 128)) << "designed frame while the setting is off";
    gui::override_high_contrast(true);
    host.render(s);
    EXPECT_EQ(s.pixel(0, 0), text);
    EXPECT_EQ(s.pixel(2, 2), face);
    EXPECT_GT(s.count(button, text), 10) << "the caption in button text";
    EXPECT_GT(s.count(label, text), 10) << "the link in button text";
    b.DrawFace(s.canvas(), ButtonFace::hover);
    EXPECT_EQ(s.pixel(2, 2), hot);
    EXPECT_GT(s.count(button, hot_text), 10);

    // A setting change redraws the window, all of it.
    gui::follow_system_colors(host.client_hwnd());
    ShowWindow(host.client_hwnd(), SW_SHOWNOACTIVATE); // a hidden window has nothing to redraw
    UpdateWindow(host.client_hwnd());
    SendMessageA(host.client_hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_TRUE(GetUpdateRect(host.client_hwnd(), nullptr, FALSE));
    gui::override_high_contrast(std::nullopt);
}

// Names, roles and actions are read from another process by the end-to-end test; here
// what it cannot see: a disabled button, the hit test, and the press waiting for the queue.
TEST(AccessibleButtons, DisabledOneIsUnavailableAndPressesWaitForTheQueue) {
    ComScope com;
    ControlsHost host;
    TSelButton go, stop;
    int pressed = 0;
    go.set_parent(&host);
    go.OnClick = [&](gui::Object*) { ++pressed; };
    stop.set_bounds(10, 40, 41, 17);
    stop.set_parent(&host);
    stop.SetEnabled(false);
    gui::AccessibleWindow access(host.client_hwnd(),
                                 {"", {}, 0, {accessible_button(go, "Go"), accessible_button(stop, "Stop")}});
    IAccessible* acc = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(host.client_hwnd(), OBJID_CLIENT, gui::kIidAccessible,
                                         reinterpret_cast<void**>(&acc)),
              S_OK);
    VARIANT first{}, second{}, state{}, hit{};
    first.vt = second.vt = VT_I4;
    first.lVal = 1;
    second.lVal = 2;
    EXPECT_EQ(acc->get_accState(second, &state), S_OK);
    EXPECT_EQ(state.lVal, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(acc->accDoDefaultAction(second), E_FAIL);
    EXPECT_EQ(acc->accDoDefaultAction(first), S_OK);
    EXPECT_EQ(pressed, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(pressed, 1);
    const POINT at = host.to_screen(20, 45);
    EXPECT_EQ(acc->accHitTest(at.x, at.y, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 2);
    acc->Release();
}

} // namespace
} // namespace velmaro::controls
