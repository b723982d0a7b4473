// What a screen reader learns about a window through Active Accessibility (and so through
// UI Automation's proxy for it). The system describes a window's client area by itself;
// an AccessibleWindow answers WM_GETOBJECT for the client area with an object built on
// the system's own (CreateStdAccessibleObject) that gives the window a name, a
// description and a role of its own, and adds the windowless controls drawn in it as
// its children, each with a name, a role, a state and a default action.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmaro::gui {

// MinGW's own IID_IAccessible is not the one oleacc answers to under Wine.
extern const IID kIidAccessible;

// A windowless control as a child element of the window it is drawn in.
struct AccessiblePart {
    std::string name;
    long role = ROLE_SYSTEM_PUSHBUTTON;
    std::string description;
    std::string shortcut;       // e.g. "Ctrl+S"; empty: none
    std::string default_action; // e.g. "Press"; empty: none
    // The part's bounds in the host's client coordinates.
    std::function<RECT()> bounds;
    // False: the part reads as unavailable and its default action does nothing.
    std::function<bool()> available;
    // The default action. It runs from the host's message queue, after the caller has its
    // answer: a handler that opens a modal box must not hold a screen reader waiting.
    std::function<void()> press;
};

struct AccessibleInfo {
    std::string name; // empty: the system's
    std::function<std::string()> description;
    long role = 0; // 0: the system's
    std::vector<AccessiblePart> parts;
};

class AccessibleWindow {
  public:
    // Answers for `hwnd`'s client area from now on, until this object or the window goes.
    AccessibleWindow(HWND hwnd, AccessibleInfo info);
    ~AccessibleWindow();
    AccessibleWindow(const AccessibleWindow&) = delete;
    AccessibleWindow& operator=(const AccessibleWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    const AccessibleInfo& info() const { return info_; }

    // A new object for the client area, as WM_GETOBJECT hands it out.
    HRESULT create_object(IAccessible** out);

    // Tells screen readers that a property of the client area changed (an EVENT_OBJECT_*).
    void notify(DWORD event) const { NotifyWinEvent(event, hwnd_, OBJID_CLIENT, CHILDID_SELF); }

    // A part is available while its own test says so and its window takes input: behind a
    // modal box, as for the mouse, nothing can be pressed.
    bool available(const AccessiblePart& part) const;

    // Asks for part `index`'s default action to run from the message queue.
    bool request_press(size_t index);

  private:
    struct Link;
    static LRESULT CALLBACK subclass_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                          DWORD_PTR self);
    LRESULT on_get_object(WPARAM wp, LPARAM lp);
    void run_press(size_t index);
    void detach();

    HWND hwnd_;
    AccessibleInfo info_;
    std::shared_ptr<Link> link_;
};

} // namespace velmaro::gui
