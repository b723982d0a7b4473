// A label sized to its text shows all of its text: every pixel that the text's glyphs
// put down unclipped is also inside the label (the last glyph's pixels may lie past the
// measured advance widths, as Wine draws the colon of "List of selected folders:").
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "gui/application_win.h"
#include "gui/controls_win.h"
#include "gui/font_win.h"
#include "gui/form_win.h"

namespace velmaro::gui {
namespace {

class InkForm : public Form {
  public:
    explicit InkForm(Application& app)
        : Form(app, FormDesc{.window_class = "TInkForm",
                             .caption = "Ink",
                             .border = BorderKind::tool_fixed,
                             .width = 460,
                             .height = 200,
                             .font = FontSpec{.name = "Comic Sans MS", .size_pt = 8}}) {}
};

// A 32-bit top-down DIB in a memory DC, filled with white.
struct Canvas32 {
    Canvas32(int w, int h) : w(w), h(h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(nullptr);
        dc.reset(CreateCompatibleDC(screen));
        bmp.reset(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc.get(), bmp.get());
        RECT all{0, 0, w, h};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas32() { SelectObject(dc.get(), old); }
    DWORD at(int x, int y) const {
        GdiFlush();
        return static_cast<const DWORD*>(bits)[y * w + x] & 0xFFFFFF;
    }
    // Pixels other than `back`, by rows and columns.
    int ink(DWORD back) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) != back)
                    ++n;
        return n;
    }
    int w, h;
    void* bits = nullptr;
    UniqueMemDc dc;
    UniqueBitmap bmp;
    HGDIOBJ old = nullptr;
};

TEST(LabelInk, AutoSizedLabelsShowEveryPixelOfTheirText) {
    Application app;
    InkForm& form = app.create_form<InkForm>();
    const std::vector<std::string> captions = {"List of selected folders:",
                                               "Width:  1024",
                                               "Height: 768",
                                               "Width:",
                                               "Height:",
                                               "Orbenta",
                                               "Velmaro v1.0"};
    for (const char* face : {"Comic Sans MS", "MS Sans Serif", "Arial"}) {
        for (const std::string& caption : captions) {
            FontSpec wanted{.name = face, .size_pt = 8};
            Label label(form, 10, 10, caption, wanted);
            RECT r = label.bounds();
            const int w = r.right - r.left, h = r.bottom - r.top;
            ASSERT_GT(w, 0);
            ASSERT_GT(h, 0);

            // What the glyphs put down with nothing to clip them.
            Canvas32 free(w + 40, h);
            SelectObjectScope font(free.dc.get(), cached_font(wanted));
            SetBkMode(free.dc.get(), TRANSPARENT);
            SetTextColor(free.dc.get(), RGB(0, 0, 0));
            RECT area{0, 0, free.w, free.h};
            DrawTextA(free.dc.get(), caption.c_str(), -1, &area, DT_SINGLELINE | DT_LEFT | DT_NOCLIP);
            const int expected = free.ink(0xFFFFFF);
            ASSERT_GT(expected, 0);

            // What the label paints inside its own bounds.
            Canvas32 shown(w, h);
            SendMessageA(label.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shown.dc.get()), PRF_CLIENT);
            // The label's background, its parent's colour, is where most of it is.
            std::map<DWORD, int> colours;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ++colours[shown.at(x, y)];
            DWORD back = std::max_element(colours.begin(), colours.end(), [](auto& a, auto& b) {
                             return a.second < b.second;
                         })->first;
            EXPECT_EQ(shown.ink(back), expected)
                << face << ": \"" << caption << "\" in a label " << w << " wide";
        }
    }
}

} // namespace
} // namespace velmaro::gui
