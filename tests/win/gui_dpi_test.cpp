// Display scale: design lengths scale as MulDiv rounds them, and a form that moves to a
// monitor of another scale (WM_DPICHANGED, as the system sends it) takes the suggested
// bounds and lays out its controls again from their 96-dpi design - positions, sizes,
// fonts, line heights, panels and windowless controls - and stands exactly as designed
// again when it comes back to 96 dpi.
#include "gui/dpi_win.h"

#include <gtest/gtest.h>

#include "gui/application_win.h"
#include "gui/controls_win.h"
#include "gui/form_win.h"

namespace velmaro::gui {
namespace {

class ScaledForm : public Form {
  public:
    explicit ScaledForm(Application& app)
        : Form(app, FormDesc{.window_class = "TDpiForm",
                             .caption = "Scale",
                             .border = BorderKind::tool_fixed,
                             .left = 30,
                             .top = 40,
                             .width = 258,
                             .height = 147,
                             .font = FontSpec{"Arial", 8}}),
          label(*this, 8, 8, "&Display:"), list(*this, 8, 24, 89, 61), check(*this, 8, 90, 129, 17, "Random"),
          panel(*this, 140, 8, 100, 80), inner(panel, 4, 6, "in"), bevel(*this, 140, 100, 50, 30) {
        list.set_item_height(15);
    }
    Label label;
    ListBox list;
    CheckBox check;
    Panel panel;
    Label inner;
    Bevel bevel;
};

// x, y, width, height of a child in its parent's client area.
RECT placed(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return RECT{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

RECT design(int x, int y, int w, int h, int dpi) {
    RECT r = scale_rect(x, y, w, h, dpi);
    return RECT{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int font_height(HWND h) {
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

TEST(Dpi, DesignLengthsScaleAsMulDivRounds) {
    EXPECT_EQ(scale_px(15, 96), 15);
    EXPECT_EQ(scale_px(15, 144), 23); // 22.5 rounds up
    EXPECT_EQ(scale_px(15, 192), 30);
    EXPECT_EQ(scale_px(-8, 144), -12);
    // Each of x, y, width and height on its own: 89 x 23 at 150 % is 134 x 35.
    EXPECT_TRUE(scale_rect(8, 24, 89, 23, 144) == (RECT{12, 36, 146, 71}));
    EXPECT_EQ(font_height_px(8), -11);
    EXPECT_EQ(font_height_px(8, 144), -16);
    EXPECT_EQ(font_height_px(8, 192), -21);
}

TEST(Dpi, AFormMovedToAnotherScaleLaysItselfOutAgain) {
    Application app;
    auto& f = app.create_form<ScaledForm>();
    const RECT label96 = placed(f.label.hwnd());
    EXPECT_EQ(f.dpi(), system_dpi());

    for (int dpi : {144, 96}) {
        RECT suggested{100, 50, 100 + scale_px(270, dpi), 50 + scale_px(180, dpi)};
        SendMessageA(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        SCOPED_TRACE(dpi);
        EXPECT_EQ(f.dpi(), dpi);
        RECT now;
        GetWindowRect(f.hwnd(), &now);
        EXPECT_TRUE(now == suggested);
        EXPECT_TRUE(placed(f.list.hwnd()) == design(8, 24, 89, 61, dpi));
        EXPECT_EQ(f.list.item_height(), scale_px(15, dpi));
        EXPECT_TRUE(placed(f.check.hwnd()) == design(8, 90, 129, 17, dpi));
        EXPECT_TRUE(placed(f.panel.hwnd()) == design(140, 8, 100, 80, dpi));
        EXPECT_EQ(placed(f.inner.hwnd()).left, scale_px(4, dpi));
        EXPECT_EQ(placed(f.inner.hwnd()).top, scale_px(6, dpi));
        EXPECT_TRUE(f.bevel.bounds() == scale_rect(140, 100, 50, 30, dpi));
        for (HWND h : {f.label.hwnd(), f.list.hwnd(), f.check.hwnd(), f.inner.hwnd()})
            EXPECT_EQ(font_height(h), font_height_px(8, dpi));
        // The label fits its text in the new font: taller at 150 %.
        const RECT label = placed(f.label.hwnd());
        EXPECT_EQ(label.left, scale_px(8, dpi));
        if (dpi == 96)
            EXPECT_TRUE(label == label96);
        else
            EXPECT_GT(label.bottom, label96.bottom);
    }
}

} // namespace
} // namespace velmaro::gui
