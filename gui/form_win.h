// A top-level window built from a description, created hidden. The window procedure is
// a short switch calling one small handler per message; `this` is stored at
// WM_NCCREATE. No exception leaves it: each handler's error goes to the general error
// report.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/handles_win.h"
#include "gui/container_win.h"
#include "gui/menu_win.h"
#include "gui/message_loop_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

class Application;
class Hints;
class PushButton;

enum class BorderKind {
    none,                     // no border, no caption bar
    tool_fixed,               // small caption bar with a close box only; not sizeable
    tool_sizeable,            // sizeable, small caption bar with a close box only
    tool_sizeable_no_buttons, // sizeable, small caption bar with no buttons, no system menu
    sizeable,                 // an ordinary sizeable window
    dialog,                   // an ordinary fixed dialog frame with a close box
};

enum class FormPosition {
    designed,      // left/top as given
    screen_center, // centred on the screen when shown
};

enum class CloseAction { none, hide, minimize };

// Modal results (as the message box's results).
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct FormDesc {
    std::string window_class{}; // e.g. "TFormMain": lets a driver find the window
    std::string caption{};
    BorderKind border = BorderKind::sizeable;
    int left = 0, top = 0;
    int width = 0, height = 0;
    bool client_size = true; // width/height are the client area's, else the outer size
    FormPosition position = FormPosition::designed;
    TColor color = clBtnFace;
    FontSpec font{};
    TCursor cursor = crDefault;
    bool maximized = false; // how Application::run() shows the main form
};

class Form : public Object, public Container, public KeyHandler {
  public:
    // Creates the window, hidden. The derived form builds its controls in its own
    // constructor; Application::create_form then runs on_create() through
    // run_create_handler().
    Form(Application& app, FormDesc desc);
    ~Form() override;

    HWND hwnd() const { return hwnd_.get(); }
    HWND client_hwnd() const override { return hwnd_.get(); }
    Form* owning_form() override { return this; }
    Application& app() const { return app_; }
    const FormDesc& desc() const { return desc_; }
    // The DPI of the monitor the form is on; the description's pixels are scaled to it.
    int dpi() const override { return dpi_; }
    static Form* from_hwnd(HWND hwnd);

    std::string caption() const;
    void set_caption(const std::string& text);
    bool visible() const { return IsWindowVisible(hwnd()) != FALSE; }
    // Shows the form normally (centred first when its position says so) and activates it.
    void show();
    void show_maximized();
    // Shows it as the description says (maximized or normal).
    void show_designed();
    void hide();
    // Runs the close query and the close handler; a completed close hides the form,
    // or, for the main form, asks the application to quit. On a modal form it sets the
    // modal result mrCancel and its modal loop does the rest.
    void close();
    bool is_modal() const { return modal_; }

    int modal_result() const { return modal_result_; }
    // A non-zero result ends a modal showing (the close handlers run, then the form hides).
    void set_modal_result(int result) { modal_result_ = result; }

    // Enter presses the default button (unless a push button has the focus, which then is
    // pressed); Esc presses the cancel button.
    void set_default_button(PushButton* b) { default_button_ = b; }
    void set_cancel_button(PushButton* b) { cancel_button_ = b; }
    PushButton* default_button() const { return default_button_; }
    PushButton* cancel_button() const { return cancel_button_; }

    // The form's menu bar; call attach_menu() after filling it.
    MainMenu& menu() { return menu_; }
    void attach_menu();

    // Tooltips of the form's controls.
    Hints& hints();
    bool has_hints() const { return hints_ != nullptr; }

    // Runs on_create() with the general error report as its boundary.
    void run_create_handler();

    // Key handling of the message loops: accelerators, Enter, Esc, Tab.
    bool pre_translate(MSG& msg) override;

  protected:
    // Runs once the controls exist. An error is reported and the form stays created.
    virtual void on_create() {}
    // false abandons the close.
    virtual bool on_close_query() { return true; }
    // May change the action; CloseAction::none abandons the close. An exception
    // abandons it too (and is reported).
    virtual void on_close(CloseAction& /*action*/) {}
    // The form was shown, or became the active window coming from another window of the
    // program; not when the activation only returns from one of the program's message
    // boxes or from another program.
    virtual void on_activate() {}

  private:
    friend class Application;
    template <typename T> friend LRESULT CALLBACK window_procedure(HWND, UINT, WPARAM, LPARAM);
    static Form* object_of(HWND hwnd);
    LRESULT window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void on_activate_message(WPARAM wp, HWND previous);
    void on_dpi_changed(WPARAM wp, const RECT& suggested);
    // The designed outer bounds at the form's DPI (with the menu bar when it has one).
    RECT designed_window_rect(bool menu) const;
    static bool from_this_program(HWND previous);
    void restore_focus();
    void on_command(WPARAM wp, LPARAM lp);
    void place_for_showing();
    void keep_on_work_area();
    bool run_close_handlers(CloseAction& action);
    LRESULT default_button_id();

    Application& app_;
    FormDesc desc_;
    UniqueHwnd hwnd_;
    MainMenu menu_;
    std::unique_ptr<Hints> hints_;
    PushButton* default_button_ = nullptr;
    PushButton* cancel_button_ = nullptr;
    HWND last_focus_ = nullptr;
    bool modal_ = false;
    bool activate_pending_ = false; // shown, not yet activated
    int modal_result_ = mrNone;
    int dpi_ = kDesignDpi;
};

} // namespace velmaro::gui
