#include "gui/picture_box_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/error.h"
#include "imaging/fit.h"
#include "widgets_host.h"

namespace velmaro::imaging {
void PrintTo(const FitRect& r, std::ostream* os) {
    *os << r.width << " x " << r.height << " at (" << r.x << ", " << r.y << ")";
}
} // namespace velmaro::imaging

namespace velmaro::gui {
namespace {

using imaging::FitRect;
using test::WidgetsHost;

const std::string kData = std::string(VELMARO_TESTDATA_DIR) + "/widgets/";

struct Rgb {
    int r, g, b;
};

std::ostream& operator<<(std::ostream& os, Rgb c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}
// Equal within a few steps: JPEG and halftone scaling may move a plain colour slightly.
::testing::AssertionResult close_to(Rgb a, Rgb b) {
    const int tolerance = 6;
    if (std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
        std::abs(a.b - b.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " is not " << b;
}

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0x20, 0x50, 0xd0}, kYellow{0xe0, 0xc0, 0x20},
    kPureBlue{0, 0, 255};

Rgb face() {
    COLORREF c = GetSysColor(COLOR_BTNFACE);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// A control rendered through WM_PRINTCLIENT into a 32-bit memory bitmap.
class Capture {
  public:
    Capture(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint8_t*>(bits);
        old_ = SelectObject(dc_.get(), bitmap_.get());
        // A colour no test expects, so unpainted pixels show up.
        RECT all{0, 0, w, h};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc_.get(), &all, magenta);
        DeleteObject(magenta);
    }
    ~Capture() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    void print(HWND control) {
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc()), PRF_CLIENT);
    }
    Rgb at(int x, int y) const {
        GdiFlush();
        const std::uint8_t* p = bits_ + (static_cast<size_t>(y) * w_ + x) * 4;
        return {p[2], p[1], p[0]};
    }

  private:
    int w_, h_;
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    const std::uint8_t* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PictureBoxTest : public ::testing::Test {
  protected:
    void make(int x, int y, int w, int h) {
        box.create(host.hwnd(), x, y, w, h);
        w_ = w;
        h_ = h;
    }
    std::unique_ptr<Capture> render() {
        auto c = std::make_unique<Capture>(w_, h_);
        c->print(box.hwnd());
        return c;
    }
    WidgetsHost host;
    PictureBox box;
    int w_ = 0, h_ = 0;
};

TEST_F(PictureBoxTest, SmallBitmapAtItsOwnSizeInTheMiddle) {
    make(208, 192, 217, 145);
    box.load_from_file(kData + "red-100x50.bmp");
    EXPECT_EQ(box.picture().kind(), imaging::PictureKind::Bitmap);
    EXPECT_EQ(box.width(), 100);
    EXPECT_EQ(box.height(), 50);
    EXPECT_EQ(box.drawn_rect(), (FitRect{58, 47, 100, 50}));
    auto c = render();
    EXPECT_TRUE(close_to(c->at(58, 47), kRed)) << c->at(58, 47);
    EXPECT_TRUE(close_to(c->at(157, 96), kRed));
    EXPECT_TRUE(close_to(c->at(57, 47), face()));
    EXPECT_TRUE(close_to(c->at(58, 46), face()));
    EXPECT_TRUE(close_to(c->at(158, 96), face()));
    EXPECT_TRUE(close_to(c->at(157, 97), face()));
    EXPECT_TRUE(close_to(c->at(0, 0), face()));
    EXPECT_TRUE(close_to(c->at(216, 144), face()));
}

TEST_F(PictureBoxTest, LargeJpegShrunkAndDecodedAtAReducedScale) {
    make(208, 192, 217, 145);
    box.load_from_file(kData + "blue-1024x768.jpg");
    EXPECT_EQ(box.picture().kind(), imaging::PictureKind::Jpeg);
    EXPECT_EQ(box.width(), 1024);
    EXPECT_EQ(box.height(), 768);
    auto c = render();
    EXPECT_TRUE(close_to(c->at(12, 0), kBlue)) << c->at(12, 0);
    EXPECT_TRUE(close_to(c->at(204, 144), kBlue)) << c->at(204, 144);
    EXPECT_TRUE(close_to(c->at(11, 72), face()));
    EXPECT_TRUE(close_to(c->at(205, 72), face()));
    // Decoded at a quarter (256 x 192), the smallest decoder scale that still covers
    // 193 x 145: not at full size.
    const imaging::Pixels& px = box.picture().pixels_for(193, 145);
    EXPECT_EQ(px.width, 256);
    EXPECT_EQ(px.height, 192);
}

TEST_F(PictureBoxTest, TallBitmapFitsTheHeight) {
    make(208, 192, 217, 145);
    box.load_from_file(kData + "green-145x300.bmp");
    auto c = render();
    EXPECT_TRUE(close_to(c->at(73, 0), kGreen));
    EXPECT_TRUE(close_to(c->at(142, 144), kGreen));
    EXPECT_TRUE(close_to(c->at(72, 0), face()));
    EXPECT_TRUE(close_to(c->at(143, 144), face()));
}

TEST_F(PictureBoxTest, StartUpPictureFromMemoryFromTheTopLeft) {
    make(-8, 0, 465, 233);
    box.set_layout({false, true, false});
    box.load_from_memory(read_file(kData + "yellow-566x283.jpg"));
    EXPECT_EQ(box.drawn_rect(), (FitRect{0, 0, 465, 232}));
    auto c = render();
    EXPECT_TRUE(close_to(c->at(0, 0), kYellow)) << c->at(0, 0);
    EXPECT_TRUE(close_to(c->at(464, 231), kYellow)) << c->at(464, 231);
    EXPECT_TRUE(close_to(c->at(0, 232), face()));
    EXPECT_TRUE(close_to(c->at(464, 232), face()));
}

TEST_F(PictureBoxTest, EmptyingAndFailedLoadsKeepOrDropThePicture) {
    make(208, 192, 217, 145);
    auto blank = render();
    EXPECT_TRUE(close_to(blank->at(108, 72), face()));
    EXPECT_TRUE(box.empty());
    EXPECT_EQ(box.width(), 0);

    box.load_from_file(kData + "red-100x50.bmp");
    // A failed load leaves the picture the control had.
    EXPECT_THROW(box.load_from_file(kData + "text.jpg"), InvalidGraphic);
    EXPECT_THROW(box.load_from_file(kData + "red-100x50.pcx"), InvalidGraphic);
    EXPECT_THROW(box.load_from_file(""), InvalidGraphic);
    EXPECT_THROW(box.load_from_file(kData + "no-such-file.jpg"), FileError);
    EXPECT_EQ(box.width(), 100);
    EXPECT_TRUE(close_to(render()->at(108, 72), kRed));

    box.clear();
    EXPECT_TRUE(box.empty());
    EXPECT_EQ(box.width(), 0);
    EXPECT_EQ(box.height(), 0);
    EXPECT_NE(box.picture().kind(), imaging::PictureKind::Bitmap);
    EXPECT_TRUE(close_to(render()->at(108, 72), face()));
}

TEST_F(PictureBoxTest, IncrementalDisplayDrawsRowsWhileDecoding) {
    make(208, 192, 217, 145);
    box.load_from_file(kData + "split-2000x1600.jpg");
    const FitRect r = box.drawn_rect();
    ASSERT_EQ(r, (FitRect{18, 0, 181, 145}));

    Capture c(217, 145);
    int calls = 0;
    Rgb top{}, bottom{};
    box.on_progress = [&](int rows_done, int rows_total) {
        if (calls++ == 0) {
            EXPECT_LT(rows_done, rows_total / 2);
            top = c.at(r.x + r.width / 2, 0);
            bottom = c.at(r.x + r.width / 2, r.height - 1);
        }
    };
    c.print(box.hwnd());
    ASSERT_GE(calls, 1);
    EXPECT_TRUE(close_to(top, kRed)) << "the first rows are on the DC before the decode ends";
    EXPECT_TRUE(close_to(bottom, face())) << "rows still to come show the background";
    EXPECT_TRUE(close_to(c.at(r.x + r.width / 2, r.height - 1), kPureBlue));
    EXPECT_TRUE(close_to(c.at(r.x + r.width / 2, 0), kRed));

    // Decoded once: drawing again needs no decoding.
    calls = 0;
    c.print(box.hwnd());
    EXPECT_EQ(calls, 0);
}

TEST_F(PictureBoxTest, WithoutIncrementalDisplayOnlyTheWholePicture) {
    make(208, 192, 217, 145);
    box.set_incremental_display(false);
    box.load_from_file(kData + "split-2000x1600.jpg");
    int calls = 0;
    box.on_progress = [&](int, int) { ++calls; };
    auto c = render();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(close_to(c->at(108, 0), kRed));
    EXPECT_TRUE(close_to(c->at(108, 144), kPureBlue));
}

TEST_F(PictureBoxTest, PaintsOnScreenToo) {
    make(0, 0, 217, 145);
    box.load_from_file(kData + "red-100x50.bmp");
    ShowWindow(host.hwnd(), SW_SHOWNA);
    UpdateWindow(box.hwnd());
    WidgetsHost::pump();
    HDC screen = GetDC(box.hwnd());
    COLORREF c = GetPixel(screen, 108, 72);
    ReleaseDC(box.hwnd(), screen);
    ShowWindow(host.hwnd(), SW_HIDE);
    EXPECT_TRUE(close_to((Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}), kRed));
}

} // namespace
} // namespace velmaro::gui
