// The application: its title, its forms, the message loop, modal showing and help.
// While it exists it is the general error report's context (title and owner window).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/handles_win.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

class Form;

class Application : public ErrorReporter {
  public:
    explicit Application(HINSTANCE instance = GetModuleHandleA(nullptr));
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HINSTANCE instance() const { return instance_; }
    // A hidden window that owns the forms and carries the title.
    HWND handle() const { return window_.get(); }

    // The program icon given to the forms created after the call (and to the
    // application window).
    void set_icon(HICON icon);
    HICON icon() const { return icon_; }

    const std::string& title() const { return title_; }
    void set_title(std::string title);

    // Creates a form (hidden), keeps it until the application ends and runs its creation
    // handler. The first form created is the main form: closing it ends the program.
    template <typename F, typename... Args> F& create_form(Args&&... args) {
        auto form = std::make_unique<F>(*this, std::forward<Args>(args)...);
        F& ref = *form;
        adopt(std::move(form));
        return ref;
    }
    Form* main_form() const { return main_form_; }
    // For forms built outside create_form (tests): make `form` the main form.
    void set_main_form(Form* form) { main_form_ = form; }

    // Shows the main form as designed and processes messages until a quit request is
    // taken from the queue; returns its exit code.
    int run();
    // Posts a quit request (WM_QUIT) to the queue.
    void request_quit(int exit_code = 0);

    // Shows a form modally: the program's other windows are disabled, a nested loop runs
    // until the form is hidden or gets a modal result, then they are enabled again.
    // Returns the modal result (mrCancel when the form was hidden without one).
    int show_modal(Form& form);

    void set_help_file(std::string path) { help_file_ = std::move(path); }
    const std::string& help_file() const { return help_file_; }
    // Shows the help file's contents, the main window being the owner. A WinHelp file
    // that exists goes to WinHelp. Failing that, the HTML Help file of the same name
    // (".chm" for the extension) when it exists: in the HTML Help viewer, or through the
    // shell's "open" where the viewer cannot be had. With neither file, WinHelp is asked
    // all the same and reports the missing file itself. False when the system refused.
    bool help_contents(HWND owner);

    // ErrorReporter
    void report(const std::exception& error) noexcept override;

  private:
    void adopt(std::unique_ptr<Form> form);
    bool html_help_contents(HWND owner, const std::string& chm);

    HINSTANCE instance_;
    std::string title_;
    std::string help_file_;
    UniqueHwnd window_;
    std::vector<std::unique_ptr<Form>> forms_;
    Form* main_form_ = nullptr;
    HICON icon_ = nullptr;
    // The HTML Help control, loaded on the first use only: most runs never open help,
    // and the program's imports stay the system's usual DLLs.
    UniqueModule html_help_;
    ErrorReporter* previous_reporter_ = nullptr;
};

} // namespace velmaro::gui
