#include "gui/controls_win.h"

#include "base/error.h"

namespace velmaro::gui {

ListBox::ListBox(Container& parent, int x, int y, int w, int h, const std::optional<FontSpec>& font,
                 bool integral_height) {
    DWORD style = WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | (integral_height ? 0 : LBS_NOINTEGRALHEIGHT);
    create(parent, "LISTBOX", "", style, WS_EX_CLIENTEDGE, x, y, w, h, font);
    requested_height_ = h;
}

int ListBox::add(const std::string& item) {
    auto at = SendMessageA(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (at < 0)
        throw Error("Out of memory for the list");
    return static_cast<int>(at);
}

void ListBox::delete_item(int index) {
    if (index < 0 || index >= count())
        throw ListIndexError(index);
    SendMessageA(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::clear() {
    SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
}

int ListBox::count() const {
    return static_cast<int>(SendMessageA(hwnd(), LB_GETCOUNT, 0, 0));
}

std::string ListBox::item(int index) const {
    return list_item_text(hwnd(), index);
}

void ListBox::assign(const std::vector<std::string>& items) {
    SendMessageA(hwnd(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const auto& s : items)
        bytes += s.size() + 1;
    SendMessageA(hwnd(), LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    // Redrawing is switched back on however the filling ends.
    struct RedrawAtEnd {
        HWND list;
        ~RedrawAtEnd() {
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        }
    } redraw{hwnd()};
    // A line the list refuses must not pass unnoticed: a list that lost lines would be
    // taken for the whole one.
    for (const auto& s : items)
        add(s);
}

std::vector<std::string> ListBox::items() const {
    std::vector<std::string> out;
    int n = count();
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out.push_back(item(i));
    return out;
}

int ListBox::item_index() const {
    return static_cast<int>(SendMessageA(hwnd(), LB_GETCURSEL, 0, 0));
}

void ListBox::set_item_index(int index) {
    if (index < 0 || index >= count())
        index = -1;
    SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ListBox::item_height() const {
    return static_cast<int>(SendMessageA(hwnd(), LB_GETITEMHEIGHT, 0, 0));
}

void ListBox::set_item_height(int px) {
    item_height_ = px;
    SendMessageA(hwnd(), LB_SETITEMHEIGHT, 0, MAKELPARAM(scaled(px), 0));
    // Let the list fit its height to whole lines again (when it keeps to them).
    RECT r = bounds();
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, scaled(requested_height_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// A new font resets the line height.
void ListBox::on_dpi_changed() {
    if (item_height_ > 0)
        set_item_height(item_height_);
}

bool ListBox::on_command(WORD code) {
    if (code != LBN_SELCHANGE)
        return false;
    if (OnClick)
        OnClick(this);
    return true;
}

} // namespace velmaro::gui
