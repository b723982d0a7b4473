#include "gui/picture_box_win.h"

#include <chrono>
#include <cmath>

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

imaging::FitRect picture_rect(int w, int h, int frame_w, int frame_h, const PictureLayout& layout) {
    if (w <= 0 || h <= 0)
        return {};
    int dw = w, dh = h;
    if (layout.stretch || (layout.proportional && (w > frame_w || h > frame_h))) {
        if (layout.proportional) {
            const double r = static_cast<double>(w) / h;
            if (w > h) {
                dw = frame_w;
                dh = static_cast<int>(std::trunc(frame_w / r));
                if (dh > frame_h) {
                    dh = frame_h;
                    dw = static_cast<int>(std::trunc(frame_h * r));
                }
            } else {
                dh = frame_h;
                dw = static_cast<int>(std::trunc(frame_h * r));
                if (dw > frame_w) {
                    dw = frame_w;
                    dh = static_cast<int>(std::trunc(frame_w / r));
                }
            }
        } else {
            dw = frame_w;
            dh = frame_h;
        }
    }
    imaging::FitRect rect{0, 0, dw, dh};
    if (layout.center) {
        rect.x = (frame_w - dw) / 2; // C++ division truncates toward zero, as wanted
        rect.y = (frame_h - dh) / 2;
    }
    return rect;
}

void PictureBox::register_class() {
    static const bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &PictureBox::window_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!done)
        throw Error("Cannot register the picture control");
}

void PictureBox::create(HWND parent, int x, int y, int w, int h, int id) {
    register_class();
    HWND box = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    if (!box)
        throw Error("Cannot create the picture control");
    attach(box);
}

void PictureBox::create(Container& parent, int x, int y, int w, int h) {
    register_class();
    Widget::create(parent, kWindowClass, "", 0, 0, x, y, w, h, std::nullopt);
}

LRESULT CALLBACK PictureBox::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<PictureBox*>(Widget::from_hwnd(hwnd));
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        self->guarded_paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        self->guarded_paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SIZE:
        self->decoded_ = false;
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
    const COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
    const std::uint32_t background =
        std::uint32_t{GetRValue(desktop)} << 16 | std::uint32_t{GetGValue(desktop)} << 8 | GetBValue(desktop);
    picture_ = imaging::Picture::load_file(path, background); // throws before anything changes
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
    return picture_rect(width(), height(), client.right, client.bottom, layout_);
}

void PictureBox::fill_background(HDC dc, const RECT& area) const {
    // The control has no colour of its own: it shows the surface it sits on.
    Container* parent = parent_container();
    HBRUSH brush = parent ? solid_brush(parent->color()) : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &area, brush);
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

    // Incremental display: each band that the decoder reports goes to the DC at once,
    // scaled to its share of the drawn rectangle; at most every 40 ms, so that a large
    // picture does not spend its time drawing.
    int drawn_rows = 0;
    auto last = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    imaging::DecodeProgress progress;
    if (incremental_ && !decoded_) {
        progress = [&](const imaging::Pixels& partial, int rows_done) {
            auto now = std::chrono::steady_clock::now();
            if (now - last < std::chrono::milliseconds(40) || rows_done <= drawn_rows)
                return;
            last = now;
            int top = r.y + static_cast<int>(static_cast<long long>(drawn_rows) * r.height / partial.height);
            int bottom =
                r.y + static_cast<int>(static_cast<long long>(rows_done) * r.height / partial.height);
            draw_rows(dc, partial, drawn_rows, rows_done - drawn_rows, r.x, top, r.width, bottom - top);
            drawn_rows = rows_done;
            GdiFlush();
            if (on_progress)
                on_progress(rows_done, partial.height);
        };
    }

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
