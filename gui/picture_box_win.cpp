#include "gui/picture_box_win.h"

#include <chrono>
#include <cmath>

#include "base/desktop_colour_win.h"
#include "base/error.h"
#include "gui/color_win.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

namespace {

// Draws rows [first, first + rows) of decoded pixels into a destination rectangle. The
// rows are handed over as a top-down bitmap of their own, so no source offset is needed.
void draw_rows(HDC dc, const imaging::Pixels& px, int first, int rows, int x, int y, int w, int h) {
    if (rows <= 0 || w <= 0 || h <= 0)
        return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = px.width;
    bi.bmiHeader.biHeight = -rows;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x, y, w, h, 0, 0, px.width, rows, px.row(first), &bi, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace

void PictureBox::create(HWND parent, int x, int y, int w, int h, int id) {
    register_window_class({kWindowClass, &window_procedure<PictureBox>});
    HWND box = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    if (!box)
        throw Error("Cannot create the picture control");
    attach(box);
}

void PictureBox::create(Container& parent, int x, int y, int w, int h) {
    register_window_class({kWindowClass, &window_procedure<PictureBox>});
    Widget::create(parent, kWindowClass, "", 0, 0, x, y, w, h, std::nullopt);
}

PictureBox* PictureBox::object_of(HWND hwnd) {
    return static_cast<PictureBox*>(Widget::from_hwnd(hwnd));
}

LRESULT PictureBox::window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        guarded_paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        guarded_paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SIZE:
        decoded_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void PictureBox::guarded_paint(HDC dc) noexcept {
    try {
        paint(dc);
    } catch (...) {
        // Reported once: the picture is not tried again until another one is loaded.
        draw_failed_ = true;
        report_current_exception();
    }
}

void PictureBox::set_layout(const PictureLayout& layout) {
    layout_ = layout;
    decoded_ = false;
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::load_from_file(const std::string& path) {
    // A transparent picture shows over the desktop's colour, as it will as the wallpaper.
    picture_ = imaging::Picture::load_file(path, desktop_colour()); // throws before anything changes
    picture_changed();
}

void PictureBox::load_from_memory(std::vector<std::uint8_t> bytes, const std::string& name) {
    picture_ = imaging::Picture::load_bytes(name, std::move(bytes));
    picture_changed();
}

void PictureBox::clear() {
    picture_.clear();
    picture_changed();
}

void PictureBox::picture_changed() {
    decoded_ = false;
    draw_failed_ = false;
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

imaging::FitRect PictureBox::drawn_rect() const {
    RECT client{};
    if (hwnd())
        GetClientRect(hwnd(), &client);
    return imaging::fit_in_frame(width(), height(), client.right, client.bottom, layout_);
}

void PictureBox::fill_background(HDC dc, const RECT& area) const {
    // The control has no colour of its own: it shows the surface it sits on.
    Container* parent = parent_container();
    HBRUSH brush = parent ? solid_brush(parent->color()) : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &area, brush);
}

// Incremental display: each band that the decoder reports goes to the DC at once, scaled
// to its share of the drawn rectangle; at most every 40 ms, so that a large picture does
// not spend its time drawing.
imaging::DecodeProgress PictureBox::band_painter(HDC dc, const imaging::FitRect& r) {
    int drawn_rows = 0;
    auto last = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    return [this, dc, r, drawn_rows, last](const imaging::Pixels& partial, int rows_done) mutable {
        auto now = std::chrono::steady_clock::now();
        if (now - last < std::chrono::milliseconds(40) || rows_done <= drawn_rows)
            return;
        last = now;
        int top = r.y + static_cast<int>(static_cast<long long>(drawn_rows) * r.height / partial.height);
        int bottom = r.y + static_cast<int>(static_cast<long long>(rows_done) * r.height / partial.height);
        draw_rows(dc, partial, drawn_rows, rows_done - drawn_rows, r.x, top, r.width, bottom - top);
        drawn_rows = rows_done;
        GdiFlush();
        if (on_progress)
            on_progress(rows_done, partial.height);
    };
}

void PictureBox::paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const imaging::FitRect r = drawn_rect();
    const bool drawing = !picture_.empty() && !draw_failed_ && r.width > 0 && r.height > 0;

    // The background around the picture (all of it when there is none); under the
    // picture only while its rows are still to come.
    int saved = SaveDC(dc);
    if (drawing && decoded_)
        ExcludeClipRect(dc, r.x, r.y, r.x + r.width, r.y + r.height);
    fill_background(dc, client);
    RestoreDC(dc, saved);
    if (!drawing)
        return;

    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);

    const imaging::DecodeProgress progress =
        incremental_ && !decoded_ ? band_painter(dc, r) : imaging::DecodeProgress{};

    const imaging::Pixels* px = nullptr;
    try {
        px = &picture_.pixels_for(r.width, r.height, progress);
    } catch (const InvalidGraphic&) {
        // Data the decoder rejects after a good header: the picture stays blank rather
        // than raising an error at every repaint.
        draw_failed_ = true;
        fill_background(dc, client);
        return;
    }
    decoded_ = true;
    if (px->empty())
        return;
    draw_rows(dc, *px, 0, px->height, r.x, r.y, r.width, r.height);
}

} // namespace velmaro::gui
