#include "gui/application_win.h"

#include "base/error.h"
#include "gui/form_win.h"
#include "gui/message_loop_win.h"

namespace velmaro::gui {

namespace {
constexpr char kAppClass[] = "TApplication";

} // namespace

Application::Application(HINSTANCE instance) : instance_(instance), title_(program_title()) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance_;
    wc.lpszClassName = kAppClass;
    RegisterClassExA(&wc); // fails harmlessly when a second Application registers it again
    window_.reset(CreateWindowExA(0, kAppClass, title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0,
                                  0, nullptr, nullptr, instance_, nullptr));
    if (!window_)
        throw Error("Cannot create the application window");
    previous_reporter_ = set_error_reporter(this);
}

Application::~Application() {
    set_error_reporter(previous_reporter_);
    forms_.clear(); // before the window that owns them
}

void Application::set_title(std::string title) {
    title_ = std::move(title);
    SetWindowTextA(window_.get(), title_.c_str());
}

void Application::set_icon(HICON icon) {
    icon_ = icon;
    SendMessageA(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void Application::adopt(std::unique_ptr<Form> form) {
    Form* f = form.get();
    forms_.push_back(std::move(form));
    if (!main_form_)
        main_form_ = f;
    f->run_create_handler();
}

int Application::run() {
    if (main_form_ && !main_form_->visible())
        main_form_->show_designed();
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return 1;
        dispatch_message(msg);
    }
}

void Application::request_quit(int exit_code) {
    PostQuitMessage(exit_code);
}

int Application::show_modal(Form& form) {
    if (form.modal_ || form.visible())
        throw Error("Cannot make a visible window modal");
    form.modal_result_ = mrNone;
    form.modal_ = true;
    int result = mrNone;
    {
        ModalScope scope(form.hwnd());
        form.show();
        for (;;) {
            if (form.modal_result_ != mrNone) {
                CloseAction action;
                if (form.run_close_handlers(action))
                    break;
                form.modal_result_ = mrNone; // the close was abandoned: go on
            }
            if (!form.visible()) {
                if (form.modal_result_ == mrNone)
                    form.modal_result_ = mrCancel;
                break;
            }
            if (!process_one_message()) {
                if (form.modal_result_ == mrNone)
                    form.modal_result_ = mrCancel;
                break;
            }
        }
        result = form.modal_result_;
    } // the other windows are enabled again before the form goes, so one of them is activated
    form.hide();
    form.modal_ = false;
    return result;
}

bool Application::help_contents(HWND owner) {
    return WinHelpA(owner, help_file_.c_str(), HELP_CONTENTS, 0) != FALSE;
}

void Application::report(const std::exception& error) noexcept {
    show_error_report(title_, error);
}

} // namespace velmaro::gui
