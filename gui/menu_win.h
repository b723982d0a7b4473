// The main menu of a form: drop-down popups of items with "&" access keys, shortcut
// texts such as "Ctrl+S" (which also become the form's accelerators) and "-" separators.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "base/handles_win.h"
#include "gui/events_win.h"

namespace velmaro::gui {

// A key with modifiers; `key` is a virtual-key code (for letters and digits, the
// character in capitals: 'S').
struct Shortcut {
    WORD key = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;

    static Shortcut none() { return {}; }
    static Shortcut ctrl_key(char c) { return {static_cast<WORD>(c), true, false, false}; }
    explicit operator bool() const { return key != 0; }
    // "Ctrl+S", "Shift+F1", "Ctrl+Alt+Del": the text shown beside the item.
    std::string text() const;
};

class MenuItem : public Object {
  public:
    MenuItem(std::string caption, Shortcut shortcut, TNotifyEvent on_click, int id);
    const std::string& caption() const { return caption_; }
    Shortcut shortcut() const { return shortcut_; }
    bool is_separator() const { return caption_ == "-"; }
    int id() const { return id_; }
    // Runs the click handler with the item as sender (when one is assigned).
    void click();

    TNotifyEvent OnClick;

  private:
    std::string caption_;
    Shortcut shortcut_;
    int id_;
};

class MenuPopup : public Object {
  public:
    MenuPopup(std::string caption, class MainMenu& menu);
    const std::string& caption() const { return caption_; }
    // An item; the caption "-" makes a separator.
    MenuItem& add(std::string caption, Shortcut shortcut = {}, TNotifyEvent on_click = {});
    MenuItem& add(std::string caption, TNotifyEvent on_click) {
        return add(std::move(caption), Shortcut{}, std::move(on_click));
    }
    MenuItem& add_separator() { return add("-"); }
    const std::deque<MenuItem>& items() const { return items_; }

  private:
    friend class MainMenu;
    std::string caption_;
    MainMenu& menu_;
    std::deque<MenuItem> items_; // stable addresses
};

class MainMenu {
  public:
    MainMenu() = default;
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    MenuPopup& add_popup(std::string caption);
    const std::deque<MenuPopup>& popups() const { return popups_; }

    // Builds the menu bar of a window (again, after items were added) and the
    // accelerator table of the items' shortcuts.
    void attach(HWND window);
    HACCEL accelerators() const { return accel_.get(); }
    // Runs the item with a command id; false when the id is not one of this menu's.
    bool dispatch(int id);
    MenuItem* find(int id);

  private:
    friend class MenuPopup;
    int next_id() { return next_id_++; }
    std::deque<MenuPopup> popups_;
    int next_id_ = 0xA000; // apart from child control ids
    HMENU bar_ = nullptr;  // owned by the window it is attached to
    UniqueAccel accel_;
};

} // namespace velmaro::gui
