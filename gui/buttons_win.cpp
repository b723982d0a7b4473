#include "gui/controls_win.h"

#include "base/error.h"
#include "gui/form_win.h"

namespace velmaro::gui {

namespace {
// A drop-down's window height covers its list too.
constexpr int kDropDownRows = 8;
} // namespace

ComboBox::ComboBox(Container& parent, int x, int y, int w, int h, const std::optional<FontSpec>& font,
                   ComboStyle style) {
    const DWORD kind = style == ComboStyle::drop_down ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
    create(parent, "COMBOBOX", "", kind | WS_VSCROLL | WS_TABSTOP, 0, x, y, w, h + kDropDownRows * 16, font);
}

int ComboBox::add(const std::string& item) {
    return static_cast<int>(SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ComboBox::clear() {
    SendMessageA(hwnd(), CB_RESETCONTENT, 0, 0);
    typed_ = false;
}

int ComboBox::count() const {
    return static_cast<int>(SendMessageA(hwnd(), CB_GETCOUNT, 0, 0));
}

std::string ComboBox::item(int index) const {
    return list_item_text(hwnd(), index, true);
}

int ComboBox::item_index() const {
    // A typed text chooses no item, even when it happens to match one.
    if (typed_)
        return -1;
    return static_cast<int>(SendMessageA(hwnd(), CB_GETCURSEL, 0, 0));
}

void ComboBox::set_item_index(int index) {
    typed_ = false;
    if (index < 0 || index >= count())
        index = -1;
    SendMessageA(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBox::item_height() const {
    return static_cast<int>(SendMessageA(hwnd(), CB_GETITEMHEIGHT, 0, 0));
}

void ComboBox::set_item_height(int px) {
    item_height_ = px;
    SendMessageA(hwnd(), CB_SETITEMHEIGHT, 0, scaled(px));
}

void ComboBox::set_closed_height(int px) {
    closed_height_ = px;
    fit_closed_height();
}

void ComboBox::fit_closed_height() {
    const int height = scaled(closed_height_);
    // The field height is set in steps measured on the window: what the field height
    // reads back and what the frame adds around it are not the same on every system.
    auto value = static_cast<int>(SendMessageA(hwnd(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int pass = 0; pass < 3 && value > 0; ++pass) {
        RECT r{};
        GetWindowRect(hwnd(), &r);
        int now = r.bottom - r.top;
        if (now == height)
            return;
        value += height - now;
        SendMessageA(hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), value);
    }
}

// The new font gave the field and the lines the font's heights again.
void ComboBox::on_dpi_changed() {
    if (item_height_ > 0)
        set_item_height(item_height_);
    if (closed_height_ > 0)
        fit_closed_height();
}

bool ComboBox::on_command(WORD code) {
    switch (code) {
    case CBN_EDITCHANGE:
        typed_ = true;
        break;
    case CBN_SELCHANGE:
        typed_ = false;
        break;
    default:
        return false;
    }
    if (OnChange)
        OnChange(this);
    return true;
}

CheckBox::CheckBox(Container& parent, int x, int y, int w, int h, const std::string& text,
                   const std::optional<FontSpec>& font) {
    create(parent, "BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP, 0, x, y, w, h, font);
}

bool CheckBox::checked() const {
    return SendMessageA(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::set_checked(bool on) {
    SendMessageA(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::on_command(WORD code) {
    if (code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick(this);
    return true;
}

NumberEdit::NumberEdit(Container& parent, int x, int y, int w, int h, int digits,
                       const std::optional<FontSpec>& font)
    : digits_(digits) {
    create(parent, "EDIT", "", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, x, y, w, h, font);
    SendMessageA(hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(digits), 0);
}

std::optional<int> NumberEdit::value() const {
    const std::string digits = text();
    if (digits.empty() || digits.size() > static_cast<size_t>(digits_))
        return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

void NumberEdit::set_value(int value) {
    set_text(std::to_string(value));
}

bool NumberEdit::on_command(WORD code) {
    if (code != EN_CHANGE)
        return false;
    if (OnChange)
        OnChange(this);
    return true;
}

PushButton::PushButton(Container& parent, int x, int y, int w, int h, const std::string& text,
                       const std::optional<FontSpec>& font) {
    create(parent, "BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, 0, x, y, w, h, font);
}

void PushButton::set_default(bool on) {
    Form* form = parent_container() ? parent_container()->owning_form() : nullptr;
    if (form) {
        if (on)
            form->set_default_button(this);
        else if (form->default_button() == this)
            form->set_default_button(nullptr);
    }
    SendMessageA(hwnd(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void PushButton::set_cancel(bool on) {
    Form* form = parent_container() ? parent_container()->owning_form() : nullptr;
    if (!form)
        return;
    if (on)
        form->set_cancel_button(this);
    else if (form->cancel_button() == this)
        form->set_cancel_button(nullptr);
}

void PushButton::click() {
    if (modal_result_ != 0) {
        if (Form* form = parent_container() ? parent_container()->owning_form() : nullptr)
            form->set_modal_result(modal_result_);
    }
    if (OnClick)
        OnClick(this);
}

bool PushButton::on_command(WORD code) {
    if (code != BN_CLICKED)
        return false;
    click();
    return true;
}

bool PushButton::on_ctl_color(UINT, HDC, LRESULT&) {
    return false;
}

} // namespace velmaro::gui
