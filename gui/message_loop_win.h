// Pieces shared by every message loop of the program: the main loop, modal forms' loops
// and message boxes' loops.
#pragma once

#include <windows.h>

#include <vector>

namespace velmaro::gui {

// Key handling of a top-level window (accelerators, Enter, Esc, Tab) before a message is
// dispatched; found on the window through a property.
class KeyHandler {
  public:
    virtual ~KeyHandler() = default;
    virtual bool pre_translate(MSG& msg) = 0;
    static void install(HWND top_level, KeyHandler* handler);
    static void remove(HWND top_level);
    static KeyHandler* of(HWND top_level);
};

// Gives the message to its top-level window's key handler, then translates and
// dispatches it.
void dispatch_message(MSG& msg);

// Waits for and processes one message. Returns false when it took WM_QUIT, which it
// posts again so that the outer loops end too.
bool process_one_message();

// Disables the thread's enabled top-level windows except `modal` while it lives, and
// enables them again at its end; the window that was active gets the activation back.
class ModalScope {
  public:
    explicit ModalScope(HWND modal);
    ~ModalScope() { end(); }
    // Enables the windows again now (once).
    void end();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    HWND modal_;
    HWND previously_active_;
    std::vector<HWND> disabled_;
    bool ended_ = false;
};

// Set while a message box gives the activation back, so that a form's activation handler
// can tell a return from a box apart from being activated.
bool returning_from_message_box();

// Held by a message box while it gives the activation back.
class BoxReturnScope {
  public:
    BoxReturnScope();
    ~BoxReturnScope();
    BoxReturnScope(const BoxReturnScope&) = delete;
    BoxReturnScope& operator=(const BoxReturnScope&) = delete;
};

} // namespace velmaro::gui
