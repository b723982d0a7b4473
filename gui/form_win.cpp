#include "gui/form_win.h"

#include <algorithm>
#include <set>
#include <utility>

#include "base/error.h"
#include "gui/application_win.h"
#include "gui/controls_win.h"
#include "gui/error_report_win.h"
#include "gui/hint_win.h"

namespace velmaro::gui {

namespace {

struct Styles {
    DWORD style;
    DWORD ex_style;
};

// Forms with a caption bar are overlapped windows, not pop-ups: the system places a
// maximized pop-up with a menu so that its caption bar ends up above the screen.
Styles styles_for(BorderKind border) {
    constexpr DWORD common = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (border) {
    case BorderKind::none:
        return {common | WS_POPUP, WS_EX_CONTROLPARENT};
    case BorderKind::tool_fixed:
        return {common | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT};
    case BorderKind::tool_sizeable:
        return {common | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT};
    case BorderKind::tool_sizeable_no_buttons:
        return {common | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT};
    case BorderKind::sizeable:
        return {common | WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT};
    case BorderKind::dialog:
        return {common | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
    }
    return {common | WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT};
}

bool usable(HWND h) {
    return h && IsWindowVisible(h) && IsWindowEnabled(h);
}

} // namespace

Form::Form(Application& app, FormDesc desc) : app_(app), desc_(std::move(desc)) {
    if (desc_.window_class.empty())
        desc_.window_class = "VelmaroForm";
    register_window_class(
        {desc_.window_class.c_str(), &window_procedure<Form>, CS_DBLCLKS, nullptr, app_.instance()});
    set_font(desc_.font);
    set_color(desc_.color);
    set_cursor(desc_.cursor);

    // Laid out for the primary screen first, then for the monitor the window is on.
    dpi_ = system_dpi();
    Styles st = styles_for(desc_.border);
    RECT r = designed_window_rect(false);
    HWND hwnd = CreateWindowExA(st.ex_style, desc_.window_class.c_str(), desc_.caption.c_str(), st.style,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, app_.handle(), nullptr,
                                app_.instance(), this);
    if (!hwnd)
        throw Error("Cannot create the window " + desc_.window_class);
    if (int on_monitor = window_dpi(hwnd); on_monitor != dpi_) {
        dpi_ = on_monitor;
        r = designed_window_rect(false);
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    register_window(hwnd);
    KeyHandler::install(hwnd, this);
    if (app_.icon()) {
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app_.icon()));
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app_.icon()));
    }
}

Form::~Form() {
    if (HWND h = hwnd()) {
        // The derived parts are gone: from here on the window gets default handling only.
        bind_window(h, nullptr);
        KeyHandler::remove(h);
    }
    hints_.reset();
}

Form* Form::from_hwnd(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    auto* c = Container::from_hwnd(hwnd);
    return c ? c->owning_form() : nullptr;
}

Form* Form::object_of(HWND hwnd) {
    return static_cast<Form*>(bound_object(hwnd));
}

LRESULT Form::window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        hwnd_.reset(hwnd);
    return handle(msg, wp, lp);
}

LRESULT Form::handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    switch (msg) {
    case WM_DPICHANGED:
        on_dpi_changed(wp, *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    case WM_ACTIVATE:
        on_activate_message(wp, reinterpret_cast<HWND>(lp));
        return 0;
    case WM_COMMAND:
        if (Widget::reflect(msg, wp, lp, result))
            return result;
        on_command(wp, lp);
        return 0;
    case DM_GETDEFID:
        return default_button_id();
    case WM_NEXTDLGCTL: {
        // The dialog manager sends this for a label's access key (focus the label, then
        // the control after it); a form is no dialog window, so it moves the focus itself.
        HWND target =
            LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd(), GetFocus(), wp != 0);
        if (target && IsChild(hwnd(), target))
            SetFocus(target);
        return 0;
    }
    default:
        if (handle_container_message(msg, wp, lp, result))
            return result;
        break;
    }
    return DefWindowProcA(hwnd(), msg, wp, lp);
}

void Form::on_activate_message(WPARAM wp, HWND previous) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus))
            last_focus_ = focus;
        return;
    }
    if (IsIconic(hwnd()))
        return;
    restore_focus();
    bool first_since_shown = std::exchange(activate_pending_, false);
    if (first_since_shown || (!returning_from_message_box() && from_this_program(previous)))
        guarded([&] { on_activate(); });
}

// The window that lost the activation is one of this thread's: the user moved within the
// program. Coming back from another program, the system names no window of ours (or
// one of the other program's).
bool Form::from_this_program(HWND previous) {
    return previous && GetWindowThreadProcessId(previous, nullptr) == GetCurrentThreadId();
}

void Form::restore_focus() {
    if (usable(last_focus_) && IsChild(hwnd(), last_focus_)) {
        SetFocus(last_focus_);
    } else {
        HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
        SetFocus(usable(first) ? first : hwnd());
    }
}

void Form::on_command(WPARAM wp, LPARAM lp) {
    WORD id = LOWORD(wp);
    if (lp == 0 && (HIWORD(wp) == 0 || HIWORD(wp) == 1) && menu_.dispatch(id))
        return;
    // Enter and Esc as the dialog manager reports them when no control claimed them.
    if (id == IDCANCEL && cancel_button_ && usable(cancel_button_->hwnd())) {
        cancel_button_->click();
    } else if (id == IDOK && default_button_ && usable(default_button_->hwnd())) {
        default_button_->click();
    }
}

LRESULT Form::default_button_id() {
    // A push button with the focus takes Enter, as in any dialog.
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus) && dynamic_cast<PushButton*>(Widget::from_hwnd(focus)))
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
    if (default_button_ && usable(default_button_->hwnd()))
        return MAKELRESULT(default_button_->control_id(), DC_HASDEFID);
    return 0;
}

bool Form::pre_translate(MSG& msg) {
    if (HACCEL accel = menu_.accelerators(); accel && TranslateAcceleratorA(hwnd(), accel, &msg))
        return true;
    return IsDialogMessageA(hwnd(), &msg) != FALSE;
}

std::string Form::caption() const {
    return window_text(hwnd());
}

void Form::set_caption(const std::string& text) {
    SetWindowTextA(hwnd(), text.c_str());
}

void Form::attach_menu() {
    menu_.attach(hwnd());
    if (desc_.client_size) {
        // The menu bar takes its height from the client area: give it back.
        RECT r = designed_window_rect(true);
        SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The client area scales; the frame around it is the DPI's own. An outer size is
// designed around the 96-dpi frame, so that frame comes off before scaling (at 96 dpi
// the outer size stays exactly the designed one).
RECT Form::designed_window_rect(bool menu) const {
    const Styles st = styles_for(desc_.border);
    int w = desc_.width, h = desc_.height;
    if (!desc_.client_size) {
        RECT frame{0, 0, 0, 0};
        adjust_window_rect(frame, st.style, menu, st.ex_style, kDesignDpi);
        w -= frame.right - frame.left;
        h -= frame.bottom - frame.top;
    }
    RECT r = scale_rect(desc_.left, desc_.top, w, h, dpi_);
    adjust_window_rect(r, st.style, menu, st.ex_style, dpi_);
    OffsetRect(&r, scale_px(desc_.left, dpi_) - r.left, scale_px(desc_.top, dpi_) - r.top);
    return r;
}

// The form moved to a monitor of another scale: the system suggests the bounds at the
// new scale; the controls follow from their design.
void Form::on_dpi_changed(WPARAM wp, const RECT& suggested) {
    const int now = LOWORD(wp);
    if (now <= 0 || now == dpi_)
        return;
    dpi_ = now;
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    apply_dpi_to_children();
}

// At a large scale the designed place of a dialog can run past the edge of a small
// screen, its buttons out of reach: it moves in as far as it must, no further.
void Form::keep_on_work_area() {
    RECT r;
    GetWindowRect(hwnd(), &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
        return;
    const RECT& work = mi.rcWork;
    const LONG x = std::max(work.left, std::min(r.left, work.right - (r.right - r.left)));
    const LONG y = std::max(work.top, std::min(r.top, work.bottom - (r.bottom - r.top)));
    if (x != r.left || y != r.top)
        SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::place_for_showing() {
    if (visible())
        return;
    // Whatever the activation comes from, the first one after a showing runs the handler.
    activate_pending_ = true;
    if (desc_.position == FormPosition::designed) {
        if (!desc_.maximized)
            keep_on_work_area();
        return;
    }
    RECT r;
    GetWindowRect(hwnd(), &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::show() {
    place_for_showing();
    ShowWindow(hwnd(), IsZoomed(hwnd()) ? SW_SHOW : SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
}

void Form::show_maximized() {
    place_for_showing();
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    SetForegroundWindow(hwnd());
}

void Form::show_designed() {
    if (desc_.maximized)
        show_maximized();
    else
        show();
}

void Form::hide() {
    ShowWindow(hwnd(), SW_HIDE);
}

// The close query and the close handler; false when the close is abandoned (by either
// of them or by an error, which is reported).
bool Form::run_close_handlers(CloseAction& action) {
    action = CloseAction::hide;
    bool ok = guarded([&] {
        if (!on_close_query()) {
            action = CloseAction::none;
            return;
        }
        on_close(action);
    });
    return ok && action != CloseAction::none;
}

void Form::close() {
    if (modal_) {
        // The modal loop runs the close handlers and hides the form.
        modal_result_ = mrCancel;
        return;
    }
    CloseAction action;
    if (!run_close_handlers(action))
        return;
    if (app_.main_form() == this) {
        app_.request_quit();
    } else if (action == CloseAction::hide) {
        hide();
    } else {
        ShowWindow(hwnd(), SW_MINIMIZE);
    }
}

Hints& Form::hints() {
    if (!hints_)
        hints_ = std::make_unique<Hints>(hwnd());
    return *hints_;
}

void Form::run_create_handler() {
    guarded([&] { on_create(); });
}

} // namespace velmaro::gui
