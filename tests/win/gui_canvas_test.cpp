// Canvas and host painting checked pixel by pixel in memory DCs: fill and frame edges,
// opaque text cells, system colours, and a host that renders its background and its
// windowless controls (clipped, in Z order, offset) through WM_PRINTCLIENT.
#include "gui/canvas_win.h"

#include <gtest/gtest.h>

#include "gui/application_win.h"
#include "gui/color_win.h"
#include "gui/controls_win.h"
#include "gui/form_win.h"
#include "gui/graphic_control_win.h"

namespace velmaro::gui {
namespace {

// A 32-bit memory bitmap selected into a DC.
class Surface {
  public:
    Surface(int w, int h, COLORREF fill = RGB(255, 255, 255))
        : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bmp_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_.get(), bmp_.get());
        RECT r{0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc_.get(), &r, b);
        DeleteObject(b);
    }
    ~Surface() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF at(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    int count(COLORREF c, const RECT& r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += at(x, y) == c;
        return n;
    }

  private:
    int w_, h_;
    UniqueMemDc dc_;
    UniqueBitmap bmp_;
    HGDIOBJ old_;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(Canvas, ColoursAreBgrWithSystemColoursByIndex) {
    EXPECT_EQ(to_colorref(clRed), kRed);
    EXPECT_EQ(to_colorref(clBlue), kBlue);
    EXPECT_EQ(to_colorref(rgb_color(132, 185, 164)), RGB(132, 185, 164));
    EXPECT_EQ(to_colorref(0xA4B984), RGB(132, 185, 164));
    EXPECT_EQ(to_colorref(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(to_colorref(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(font_height_px(8), -11);
    EXPECT_EQ(font_height_px(10), -13);
}

TEST(Canvas, FillIncludesLeftAndTopAndExcludesRightAndBottom) {
    Surface s(20, 20);
    Canvas c(s.dc());
    c.set_brush_color(clRed);
    c.fill_rect(RECT{2, 3, 10, 8});
    EXPECT_EQ(s.at(2, 3), kRed);
    EXPECT_EQ(s.at(9, 7), kRed);
    EXPECT_EQ(s.at(10, 7), kWhite);
    EXPECT_EQ(s.at(9, 8), kWhite);
    EXPECT_EQ(s.at(1, 3), kWhite);
    EXPECT_EQ(s.count(kRed, RECT{0, 0, 20, 20}), 8 * 5);
}

TEST(Canvas, FrameIsAOnePixelOutlineInsideTheRectangle) {
    Surface s(20, 20);
    Canvas c(s.dc());
    c.set_brush_color(clBlue);
    c.frame_rect(RECT{1, 1, 11, 9});
    for (POINT p : {POINT{1, 1}, POINT{10, 1}, POINT{1, 8}, POINT{10, 8}, POINT{5, 1}, POINT{1, 4}})
        EXPECT_EQ(s.at(p.x, p.y), kBlue) << p.x << "," << p.y;
    EXPECT_EQ(s.at(2, 2), kWhite);
    EXPECT_EQ(s.at(11, 9), kWhite);
    EXPECT_EQ(s.count(kBlue, RECT{0, 0, 20, 20}), 2 * 10 + 2 * 6);
    // Nested frames grow inward, as the hover button's border does.
    c.frame_rect(RECT{2, 2, 10, 8});
    EXPECT_EQ(s.at(2, 2), kBlue);
    EXPECT_EQ(s.at(3, 3), kWhite);
}

TEST(Canvas, TextCellsAreFilledWithTheBrushColour) {
    Surface s(80, 30);
    Canvas c(s.dc());
    c.set_font(FontSpec{.name = "Arial", .size_pt = 8, .color = clGray});
    EXPECT_EQ(c.font_color(), clGray);
    c.set_brush_color(rgb_color(0, 200, 0));
    int tw = c.text_width("Close"), th = c.text_height("Close");
    EXPECT_GT(tw, 10);
    EXPECT_GE(th, 11);
    EXPECT_LE(th, 16);
    EXPECT_GT(c.text_width("Close Close"), tw);
    c.text_out(5, 4, "Close");
    RECT cell{5, 4, 5 + tw, 4 + th};
    EXPECT_EQ(s.count(kWhite, cell), 0) << "the whole cell is painted";
    int green = s.count(RGB(0, 200, 0), cell);
    EXPECT_GT(green, 0);
    EXPECT_LT(green, tw * th) << "some pixels carry the caption colour";
    EXPECT_EQ(s.at(5 + tw, 4), kWhite);
    EXPECT_EQ(s.at(4, 4), kWhite);
    // The colour of the text follows the font colour.
    c.set_font_color(clRed);
    c.set_brush_color(clWhite);
    c.text_out(5, 4, "Close");
    EXPECT_GT(s.count(kRed, cell), 0);
}

TEST(Canvas, BoldIsWiderThanRegular) {
    Surface s(10, 10);
    Canvas c(s.dc());
    c.set_font(FontSpec{.name = "Arial", .size_pt = 8});
    int regular = c.text_width("Orbenta Homepage");
    c.set_font(FontSpec{.name = "Arial", .size_pt = 8, .bold = true});
    EXPECT_GT(c.text_width("Orbenta Homepage"), regular);
}

class Painter : public GraphicControl {
  public:
    Painter(Container& parent, int x, int y, int w, int h, TColor color) : color_(color) {
        set_bounds(x, y, w, h);
        set_parent(&parent);
    }
    void paint(Canvas& c) override {
        ++paints;
        c.set_brush_color(color_);
        c.fill_rect(RECT{-5, -5, 500, 500}); // more than the control: the host clips it
    }
    int paints = 0;

  private:
    TColor color_;
};

class PaintForm : public Form {
  public:
    explicit PaintForm(Application& app)
        : Form(app, FormDesc{.window_class = "TPaintForm",
                             .border = BorderKind::none,
                             .width = 120,
                             .height = 80,
                             .color = clWhite}) {}
};

TEST(HostPainting, BackgroundThenControlsClippedInZOrder) {
    Application app;
    auto& f = app.create_form<PaintForm>();
    Painter red(f, 10, 10, 20, 15, clRed);
    Painter blue(f, 25, 20, 10, 10, clBlue); // over red's bottom-right corner
    Surface s(120, 80, RGB(0, 0, 0));
    SendMessageA(f.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    EXPECT_EQ(s.at(0, 0), kWhite) << "the form's background";
    EXPECT_EQ(s.at(10, 10), kRed);
    EXPECT_EQ(s.at(24, 24), kRed);
    EXPECT_EQ(s.at(25, 20), kBlue);
    EXPECT_EQ(s.at(29, 24), kBlue);
    EXPECT_EQ(s.at(9, 10), kWhite);
    EXPECT_EQ(s.at(10, 25), kWhite);
    EXPECT_EQ(s.at(35, 20), kWhite);
    EXPECT_EQ(s.count(kRed, RECT{0, 0, 120, 80}) + s.count(kBlue, RECT{0, 0, 120, 80}),
              20 * 15 + 10 * 10 - 5 * 5);
    // A hidden control is not painted; the background shows.
    blue.set_visible(false);
    SendMessageA(f.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    EXPECT_EQ(s.at(29, 24), kRed);
    EXPECT_EQ(s.at(32, 27), kWhite);
}

TEST(HostPainting, TheParentsColourIsTheBackground) {
    Application app;
    auto& f = app.create_form<PaintForm>();
    f.set_color(clBtnFace);
    Surface s(120, 80);
    SendMessageA(f.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    EXPECT_EQ(s.at(60, 40), GetSysColor(COLOR_BTNFACE));
}

TEST(HostPainting, RepaintDrawsAtOnceOnAShownForm) {
    Application app;
    auto& f = app.create_form<PaintForm>();
    Painter red(f, 10, 10, 20, 15, clRed);
    f.show();
    UpdateWindow(f.hwnd());
    int before = red.paints;
    red.repaint();
    EXPECT_EQ(red.paints, before + 1);
    // Drawing on the control's own canvas outside a paint lands on the window.
    red.canvas().set_brush_color(clBlue);
    red.canvas().fill_rect(RECT{0, 0, 4, 4});
    HDC dc = GetDC(f.hwnd());
    COLORREF drawn = GetPixel(dc, 11, 11), outside = GetPixel(dc, 14, 14);
    ReleaseDC(f.hwnd(), dc);
    EXPECT_EQ(drawn, kBlue);
    EXPECT_EQ(outside, kRed);
    f.hide();
}

TEST(HostPainting, BevelAndPanelEdges) {
    Application app;
    auto& f = app.create_form<PaintForm>();
    Bevel bevel(f, 5, 5, 30, 20, BevelCut::raised);
    Surface s(120, 80);
    SendMessageA(f.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(s.at(5, 5), hi);
    EXPECT_EQ(s.at(33, 5), hi);
    EXPECT_EQ(s.at(5, 23), hi);
    EXPECT_EQ(s.at(34, 5), sh);
    EXPECT_EQ(s.at(34, 24), sh);
    EXPECT_EQ(s.at(5, 24), sh);
    EXPECT_EQ(s.at(6, 6), kWhite) << "a bevel is a frame only";

    Panel panel(f, 40, 10, 60, 40, BevelCut::lowered, BevelCut::raised);
    Surface p(60, 40);
    SendMessageA(panel.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(p.dc()), PRF_CLIENT);
    EXPECT_EQ(p.at(0, 0), sh) << "lowered outer bevel";
    EXPECT_EQ(p.at(59, 39), hi);
    EXPECT_EQ(p.at(1, 1), hi) << "raised inner bevel";
    EXPECT_EQ(p.at(58, 38), sh);
    EXPECT_EQ(p.at(30, 20), kWhite) << "the panel takes its parent's colour";
}

} // namespace
} // namespace velmaro::gui
