#include "gui/message_box_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "base/handles_win.h"
#include "gui/dpi_win.h"
#include "gui/error_report_win.h"
#include "gui/message_loop_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

namespace {

constexpr int kIconId = 101;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;

struct ButtonDef {
    MsgButton flag;
    int id;
    const char* text;
};
constexpr ButtonDef kButtons[] = {{mbYes, idYes, "&Yes"}, {mbNo, idNo, "&No"}, {mbOK, idOk, "OK"}};

LPCSTR icon_for(MsgKind kind) {
    switch (kind) {
    case MsgKind::warning:
        return IDI_WARNING;
    case MsgKind::error:
        return IDI_ERROR;
    case MsgKind::information:
        return IDI_INFORMATION;
    case MsgKind::confirmation:
        return IDI_QUESTION;
    }
    return IDI_INFORMATION;
}

// The open box: its window, buttons and outcome. Keys: Enter presses the focused
// button or the default one, Esc the cancel one; the rest is the dialog manager's.
class Box : public KeyHandler {
  public:
    Box(const std::string& caption, MsgKind kind, const std::string& text, Buttons buttons);
    ~Box() override;
    int run();
    bool pre_translate(MSG& msg) override;
    // For window_procedure.
    static Box* object_of(HWND hwnd) { return static_cast<Box*>(bound_object(hwnd)); }
    LRESULT window_message(HWND, UINT msg, WPARAM wp, LPARAM lp) { return handle(msg, wp, lp); }

  private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void finish(int result) {
        result_ = result;
        done_ = true;
    }
    void build(MsgKind kind, const std::string& text);
    void add_buttons(const std::vector<const ButtonDef*>& shown, int x, int y, HFONT font, int dpi);
    // Enter: OK, else Yes (a box with No alone: No). Esc: No, else OK (a box with Yes
    // alone: as its close box).
    int default_id() const { return (buttons_ & mbOK) ? idOk : (buttons_ & mbYes) ? idYes : idNo; }
    int cancel_id() const { return (buttons_ & mbNo) ? idNo : (buttons_ & mbOK) ? idOk : idClosed; }
    bool has(int id) const;

    Buttons buttons_;
    UniqueHwnd hwnd_;
    UniqueFont font_;
    int result_ = idClosed;
    bool done_ = false;
};

// The window sized for its client area and centred on the primary screen.
void size_and_centre(HWND hwnd, int client_w, int client_h, int dpi) {
    RECT wr{0, 0, client_w, client_h};
    adjust_window_rect(wr, GetWindowLongA(hwnd, GWL_STYLE), false, GetWindowLongA(hwnd, GWL_EXSTYLE), dpi);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

const char* caption_for(MsgKind kind) {
    switch (kind) {
    case MsgKind::warning:
        return "Warning";
    case MsgKind::error:
        return "Error";
    case MsgKind::information:
        return "Information";
    case MsgKind::confirmation:
        return "Confirm";
    }
    return "";
}

namespace {

Box::Box(const std::string& caption, MsgKind kind, const std::string& text, Buttons buttons)
    : buttons_(buttons & (mbYes | mbNo | mbOK)) {
    if (buttons_ == 0)
        buttons_ = mbOK;
    register_window_class({kMessageBoxClass, &window_procedure<Box>, 0, GetSysColorBrush(COLOR_BTNFACE)});
    HWND owner = GetActiveWindow();
    HWND hwnd = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kMessageBoxClass, caption.c_str(),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 100, 100, owner,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        throw Error("Cannot create a message box");
    hwnd_.reset(hwnd);
    bind_window(hwnd, this);
    KeyHandler::install(hwnd, this);
    build(kind, text);
}

Box::~Box() {
    if (hwnd_) {
        KeyHandler::remove(hwnd_.get());
        bind_window(hwnd_.get(), nullptr);
    }
}

bool Box::has(int id) const {
    for (const auto& b : kButtons)
        if (b.id == id)
            return (buttons_ & b.flag) != 0;
    return false;
}

// The buttons in a row from (x, y), the default one marked.
void Box::add_buttons(const std::vector<const ButtonDef*>& shown, int x, int y, HFONT font, int dpi) {
    for (const ButtonDef* b : shown) {
        DWORD style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b->id == default_id() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND bh = CreateWindowExA(
            0, "BUTTON", b->text, style, x, y, scale_px(kButtonW, dpi), scale_px(kButtonH, dpi), hwnd_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(b->id)), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(bh, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        x += scale_px(kButtonW, dpi) + scale_px(kButtonGap, dpi);
    }
}

void Box::build(MsgKind kind, const std::string& text) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        font_.reset(CreateFontIndirectA(&ncm.lfMessageFont));
    HFONT font = font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND hwnd = hwnd_.get();
    HINSTANCE inst = GetModuleHandleA(nullptr);
    const int dpi = window_dpi(hwnd);
    auto px = [dpi](int design) { return scale_px(design, dpi); };

    // Measure the text in the box's font.
    RECT tr{0, 0, px(kMaxTextWidth), 0};
    {
        WindowDc dc(hwnd);
        SelectObjectScope keep_font(dc.get(), font);
        DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &tr,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    int text_w = std::max<int>(tr.right, 1), text_h = std::max<int>(tr.bottom, 1);
    int text_x = px(kMargin) + px(kIconSize) + px(kMargin);
    int text_y = px(kMargin) + std::max(0, (px(kIconSize) - text_h) / 2);

    std::vector<const ButtonDef*> shown;
    for (const auto& b : kButtons)
        if (buttons_ & b.flag)
            shown.push_back(&b);
    int row_w =
        static_cast<int>(shown.size()) * px(kButtonW) + (static_cast<int>(shown.size()) - 1) * px(kButtonGap);

    int client_w = std::max(text_x + text_w + px(kMargin), row_w + 2 * px(kMargin));
    int buttons_y = std::max(px(kMargin) + px(kIconSize), text_y + text_h) + px(kMargin) + px(4);
    int client_h = buttons_y + px(kButtonH) + px(kMargin);

    HWND icon = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, px(kMargin), px(kMargin),
                                px(kIconSize), px(kIconSize), hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIconId)), inst, nullptr);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon_for(kind))), 0);
    HWND label = CreateWindowExA(
        0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, text_x, text_y, text_w,
        text_h, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageTextId)), inst, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    add_buttons(shown, (client_w - row_w) / 2, buttons_y, font, dpi);
    size_and_centre(hwnd, client_w, client_h, dpi);
}

int Box::run() {
    HWND hwnd = hwnd_.get();
    ModalScope modal(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(GetDlgItem(hwnd, default_id()));
    while (!done_ && process_one_message()) {
    }
    // Hand the activation back, then go, while the forms can tell that this is only a
    // return from a box.
    BoxReturnScope returning;
    modal.end();
    KeyHandler::remove(hwnd);
    bind_window(hwnd, nullptr);
    hwnd_.reset();
    return result_;
}

bool Box::pre_translate(MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        if (msg.wParam == VK_ESCAPE) {
            finish(cancel_id());
            return true;
        }
        HWND focus = GetFocus();
        int id = focus && GetParent(focus) == hwnd_.get() ? GetDlgCtrlID(focus) : 0;
        finish(has(id) ? id : default_id());
        return true;
    }
    return IsDialogMessageA(hwnd_.get(), &msg) != FALSE;
}

LRESULT Box::handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = hwnd_.get();
    switch (msg) {
    case WM_COMMAND: {
        int id = LOWORD(wp);
        if (has(id) && (HIWORD(wp) == BN_CLICKED))
            finish(id);
        else if (id == IDCANCEL)
            finish(cancel_id()); // Esc reported by the dialog manager
        return 0;
    }
    case DM_GETDEFID: {
        HWND focus = GetFocus();
        int id = focus && GetParent(focus) == hwnd && has(GetDlgCtrlID(focus)) ? GetDlgCtrlID(focus)
                                                                               : default_id();
        return MAKELRESULT(id, DC_HASDEFID);
    }
    case WM_CLOSE:
        finish(idClosed);
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

int message_box(const std::string& caption, MsgKind kind, const std::string& text, Buttons buttons) {
    Box box(caption, kind, text, buttons);
    return box.run();
}

int message_box(MsgKind kind, const std::string& text, Buttons buttons) {
    return message_box(caption_for(kind), kind, text, buttons);
}

} // namespace velmaro::gui
