#include "gui/menu_win.h"

#include <vector>

namespace velmaro::gui {

std::string Shortcut::text() const {
    if (!key)
        return {};
    std::string s;
    if (ctrl)
        s += "Ctrl+";
    if (shift)
        s += "Shift+";
    if (alt)
        s += "Alt+";
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        s += static_cast<char>(key);
    } else if (key >= VK_F1 && key <= VK_F24) {
        s += 'F';
        s += std::to_string(key - VK_F1 + 1);
    } else {
        switch (key) {
        case VK_DELETE:
            s += "Del";
            break;
        case VK_INSERT:
            s += "Ins";
            break;
        case VK_RETURN:
            s += "Enter";
            break;
        case VK_ESCAPE:
            s += "Esc";
            break;
        default: {
            char name[64] = "";
            GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16, name, sizeof name);
            s += name;
        }
        }
    }
    return s;
}

MenuItem::MenuItem(std::string caption, Shortcut shortcut, TNotifyEvent on_click, int id)
    : OnClick(std::move(on_click)), caption_(std::move(caption)), shortcut_(shortcut), id_(id) {}

void MenuItem::click() {
    if (OnClick)
        OnClick(this);
}

MenuPopup::MenuPopup(std::string caption, MainMenu& menu) : caption_(std::move(caption)), menu_(menu) {}

MenuItem& MenuPopup::add(std::string caption, Shortcut shortcut, TNotifyEvent on_click) {
    return items_.emplace_back(std::move(caption), shortcut, std::move(on_click), menu_.next_id());
}

MenuPopup& MainMenu::add_popup(std::string caption) {
    return popups_.emplace_back(std::move(caption), *this);
}

void MainMenu::attach(HWND window) {
    HMENU bar = CreateMenu();
    std::vector<ACCEL> accels;
    for (const MenuPopup& p : popups_) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : p.items()) {
            if (item.is_separator()) {
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            std::string text = item.caption();
            if (item.shortcut()) {
                text += '\t' + item.shortcut().text();
                Shortcut k = item.shortcut();
                BYTE flags = FVIRTKEY | (k.ctrl ? FCONTROL : 0) | (k.shift ? FSHIFT : 0) | (k.alt ? FALT : 0);
                accels.push_back(ACCEL{flags, k.key, static_cast<WORD>(item.id())});
            }
            AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.id()), text.c_str());
        }
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), p.caption().c_str());
    }
    HMENU old = GetMenu(window);
    SetMenu(window, bar);
    if (old)
        DestroyMenu(old);
    bar_ = bar;
    accel_.reset(accels.empty() ? nullptr
                                : CreateAcceleratorTableA(accels.data(), static_cast<int>(accels.size())));
}

MenuItem* MainMenu::find(int id) {
    for (MenuPopup& p : popups_)
        for (MenuItem& item : p.items_)
            if (item.id() == id)
                return &item;
    return nullptr;
}

bool MainMenu::dispatch(int id) {
    MenuItem* item = find(id);
    if (!item || item->is_separator())
        return false;
    item->click();
    return true;
}

} // namespace velmaro::gui
