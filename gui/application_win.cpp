#include "gui/application_win.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include "base/error.h"
#include "gui/form_win.h"
#include "gui/message_loop_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

namespace {
constexpr char kAppClass[] = "TApplication";

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

bool is_file(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The path with its extension (after the last dot of the file name) replaced by `ext`.
std::string with_extension(const std::string& path, const char* ext) {
    std::string::size_type dot = path.find_last_of('.');
    std::string::size_type sep = path.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return path + ext;
    return path.substr(0, dot) + ext;
}

// The HTML Help control from the system's folder by its full path, so that no file of
// that name in the program's folder (a download folder, say) is loaded instead.
HMODULE load_html_help() {
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    return LoadLibraryA((std::string(dir, n) + "\\hhctrl.ocx").c_str());
}

HtmlHelpFn html_help_entry(HMODULE module) {
    return module ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")))
                  : nullptr;
}

} // namespace

Application::Application(HINSTANCE instance) : instance_(instance), title_(program_title()) {
    register_window_class({kAppClass, DefWindowProcA, 0, nullptr, instance_});
    window_.reset(CreateWindowExA(0, kAppClass, title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0,
                                  0, nullptr, nullptr, instance_, nullptr));
    if (!window_)
        throw Error("Cannot create the application window");
    previous_reporter_ = set_error_reporter(this);
}

Application::~Application() {
    // The viewer's windows go before the control that runs them is unloaded.
    if (HtmlHelpFn html_help = html_help_entry(html_help_.get()))
        html_help(nullptr, nullptr, HH_CLOSE_ALL, 0);
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
    if (!is_file(help_file_)) {
        std::string chm = with_extension(help_file_, ".chm");
        if (is_file(chm))
            return html_help_contents(owner, chm);
    }
    return WinHelpA(owner, help_file_.c_str(), HELP_CONTENTS, 0) != FALSE;
}

bool Application::html_help_contents(HWND owner, const std::string& chm) {
    if (!html_help_)
        html_help_.reset(load_html_help());
    if (HtmlHelpFn html_help = html_help_entry(html_help_.get())) {
        if (html_help(owner, chm.c_str(), HH_DISPLAY_TOC, 0))
            return true;
    }
    // ShellExecuteA returns a value above 32 when it succeeds.
    auto opened = ShellExecuteA(owner, "open", chm.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(opened) > 32;
}

void Application::report(const std::exception& error) noexcept {
    show_error_report(title_, error);
}

} // namespace velmaro::gui
