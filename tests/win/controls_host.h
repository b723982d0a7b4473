// A bare container window for the windowless controls' tests, and memory surfaces whose
// pixels the tests read. The host is never shown: the tests send it the pointer messages
// a user's mouse would cause and render it through WM_PRINTCLIENT.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/handles_win.h"
#include "gui/canvas_win.h"
#include "gui/color_win.h"
#include "gui/container_win.h"

namespace velmaro::test {

// A 32-bit top-down DIB selected into a memory DC, with a canvas over it.
class MemorySurface {
  public:
    MemorySurface(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap_)
            throw std::runtime_error("CreateDIBSection failed");
        bits_ = static_cast<std::uint32_t*>(bits);
        old_ = SelectObject(dc_.get(), bitmap_.get());
        canvas_ = std::make_unique<gui::Canvas>(dc_.get());
    }
    ~MemorySurface() { SelectObject(dc_.get(), old_); }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    HDC dc() const { return dc_.get(); }
    gui::Canvas& canvas() { return *canvas_; }
    int width() const { return w_; }
    int height() const { return h_; }

    // The pixel as a COLORREF (0x00BBGGRR); 0xFFFFFFFF outside the surface.
    COLORREF pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_)
            return 0xFFFFFFFF;
        GdiFlush();
        std::uint32_t v = bits_[y * w_ + x]; // 0x00RRGGBB in memory order B, G, R, X
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void fill(COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, w_, h_};
        FillRect(dc_.get(), &r, b);
        DeleteObject(b);
    }
    // Bounding box of the pixels inside `area` that differ from `background`; empty
    // (all zero) when there are none.
    RECT ink(const RECT& area, COLORREF background) const {
        RECT box{0, 0, 0, 0};
        bool any = false;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                if (pixel(x, y) == background)
                    continue;
                if (!any) {
                    box = RECT{x, y, x + 1, y + 1};
                    any = true;
                } else {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
            }
        return box;
    }
    int count(const RECT& area, COLORREF c) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += pixel(x, y) == c;
        return n;
    }

  private:
    int w_, h_;
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    std::unique_ptr<gui::Canvas> canvas_;
};

class ControlsHost : public gui::Container {
  public:
    explicit ControlsHost(TColor color = rgb_color(192, 192, 192), int w = 320, int h = 200) {
        static const bool registered = [] {
            WNDCLASSA wc{};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = "VelmaroControlsHost";
            return RegisterClassA(&wc) != 0;
        }();
        (void)registered;
        // A popup without a frame: the client area starts at the window's corner.
        window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, "VelmaroControlsHost", "controls", WS_POPUP, 40, 40,
                                      w, h, nullptr, nullptr, GetModuleHandleA(nullptr), this));
        register_window(window_.get());
        set_color(color);
    }
    HWND client_hwnd() const override { return window_.get(); }
    gui::Form* owning_form() override { return nullptr; }

    // Sends a pointer message at a point in client coordinates.
    LRESULT send(UINT msg, int x, int y, WPARAM keys = 0) {
        return SendMessageA(window_.get(), msg, keys, MAKELPARAM(x, y));
    }
    POINT to_screen(int x, int y) const {
        POINT pt{x, y};
        ClientToScreen(window_.get(), &pt);
        return pt;
    }
    // Puts the real cursor at a client point (as mouse-up and the cursor lookups read it).
    bool put_cursor(int x, int y) {
        POINT pt = to_screen(x, y);
        SetCursorPos(pt.x, pt.y);
        POINT now{};
        return GetCursorPos(&now) && now.x == pt.x && now.y == pt.y;
    }
    // Renders the client area as the host paints it.
    void render(MemorySurface& surface) {
        SendMessageA(window_.get(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    }
    std::string last_error;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(
                hwnd, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<ControlsHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && self->client_hwnd() == hwnd) {
            try {
                LRESULT result = 0;
                if (self->handle_container_message(msg, wp, lp, result))
                    return result;
            } catch (const std::exception& e) {
                self->last_error = e.what();
                return 0;
            }
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    UniqueHwnd window_;
};

} // namespace velmaro::test
