// Standard controls: labels, list boxes, combo boxes, check boxes, push buttons,
// panels and bevels. Each is created in a container at (x, y, w, h) in its client
// coordinates with the container's font unless a font is given; Tab order is the order of
// creation unless set_tab_order() says otherwise.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gui/container_win.h"
#include "gui/graphic_control_win.h"
#include "gui/widget_win.h"
#include "gui/window_class_win.h"

namespace velmaro::gui {

// A static text ("&" marks an access key, which moves the focus to the next control).
// With auto size on (the default) it takes the size of its text. Its text can be read by
// a driver (WM_GETTEXT).
class Label : public Widget {
  public:
    Label(Container& parent, int x, int y, const std::string& text,
          const std::optional<FontSpec>& font = std::nullopt);
    void set_caption(const std::string& text);
    std::string caption() const { return text(); }
    void set_auto_size(bool on);
    bool auto_size() const { return auto_size_; }

  protected:
    void on_font_changed() override { fit(); }

  private:
    void fit();
    bool auto_size_ = true;
};

// A windowless text label (the base of the link label): draws its caption in its font
// colour on the parent's background; with auto size on it takes the size of its
// caption and re-measures when the caption or the font changes.
class GraphicLabel : public GraphicControl {
  public:
    GraphicLabel() = default;
    const std::string& caption() const { return caption_; }
    void set_caption(std::string text);
    bool auto_size() const { return auto_size_; }
    void set_auto_size(bool on);
    void paint(Canvas& canvas) override;
    void on_font_changed() override;
    void on_parent_changed() override;
    void click() override;

    TNotifyEvent OnClick;

  protected:
    void adjust_size();

  private:
    std::string caption_;
    bool auto_size_ = true;
};

class ListBox : public Widget {
  public:
    ListBox(Container& parent, int x, int y, int w, int h, const std::optional<FontSpec>& font = std::nullopt,
            bool integral_height = false);

    int add(const std::string& item); // appends; returns its index
    void delete_item(int index);      // throws ListIndexError for a bad index
    void clear();
    int count() const;
    std::string item(int index) const; // throws ListIndexError for a bad index
    // Replaces all lines at once, with redrawing off (fast for many lines).
    void assign(const std::vector<std::string>& items);
    std::vector<std::string> items() const;
    // -1 when no line is selected; an index outside the lines selects nothing.
    int item_index() const;
    void set_item_index(int index);
    int item_height() const;      // device pixels
    void set_item_height(int px); // design pixels

    // Raised when the user chooses a line with the mouse or the keyboard.
    TNotifyEvent OnClick;
    bool on_command(WORD code) override;

  protected:
    void on_dpi_changed() override;

  private:
    int requested_height_ = 0;
    int item_height_ = 0; // design; 0 while the font decides
};

enum class ComboStyle {
    drop_down,     // with an edit field: the user may choose an item or type a text
    drop_down_list // the items only
};

// A drop-down list, with an edit field unless made a drop-down list only.
class ComboBox : public Widget {
  public:
    ComboBox(Container& parent, int x, int y, int w, int h,
             const std::optional<FontSpec>& font = std::nullopt, ComboStyle style = ComboStyle::drop_down);
    int add(const std::string& item);
    void clear();
    int count() const;
    std::string item(int index) const; // throws ListIndexError for a bad index
    // -1 when no item is chosen (also after the user typed a text).
    int item_index() const;
    void set_item_index(int index);
    int item_height() const;
    // The list's line height; the system's combo box honours it for owner-drawn lists
    // only, so a plain drop-down keeps the height its font gives.
    void set_item_height(int px);
    // Gives the closed drop-down a designed height. The system sizes the closed list
    // from the font, and where the design's font is missing the substitute makes it lower.
    void set_closed_height(int px);
    std::string edit_text() const { return text(); }

    TNotifyEvent OnChange;
    bool on_command(WORD code) override;

  protected:
    void on_dpi_changed() override;

  private:
    void fit_closed_height();
    bool typed_ = false;
    int item_height_ = 0;   // design; 0: none set
    int closed_height_ = 0; // design; 0: as the font gives
};

// A plain two-state check box ("&" marks the access key).
class CheckBox : public Widget {
  public:
    CheckBox(Container& parent, int x, int y, int w, int h, const std::string& text,
             const std::optional<FontSpec>& font = std::nullopt);
    bool checked() const;
    void set_checked(bool on);

    TNotifyEvent OnClick;
    bool on_command(WORD code) override;
};

// A one-line edit field for a whole number of up to `digits` digits; the system keeps
// other characters out of what the user types (not out of what is pasted).
class NumberEdit : public Widget {
  public:
    NumberEdit(Container& parent, int x, int y, int w, int h, int digits,
               const std::optional<FontSpec>& font = std::nullopt);
    // The number the field holds; nothing when it holds no whole number of its digits.
    std::optional<int> value() const;
    void set_value(int value);

    TNotifyEvent OnChange;
    bool on_command(WORD code) override;

  private:
    int digits_;
};

class PushButton : public Widget {
  public:
    PushButton(Container& parent, int x, int y, int w, int h, const std::string& text,
               const std::optional<FontSpec>& font = std::nullopt);
    // Enter / Esc roles in the form.
    void set_default(bool on);
    void set_cancel(bool on);
    // A non-zero modal result is given to the form when the button is clicked.
    void set_modal_result(int result) { modal_result_ = result; }
    int modal_result() const { return modal_result_; }
    // Clicks as the user would: the form's modal result, then OnClick.
    void click();

    TNotifyEvent OnClick;
    bool on_command(WORD code) override;
    bool on_ctl_color(UINT msg, HDC dc, LRESULT& brush) override;

  private:
    int modal_result_ = 0;
};

enum class BevelCut { none, lowered, raised };

// A panel: a child window that holds controls, drawn with an outer and an inner bevel.
class Panel : public Widget, public Container {
  public:
    Panel(Container& parent, int x, int y, int w, int h, BevelCut outer = BevelCut::raised,
          BevelCut inner = BevelCut::none);
    HWND client_hwnd() const override { return hwnd(); }
    Form* owning_form() override;
    int dpi() const override { return parent_.dpi(); }
    void set_bevels(BevelCut outer, BevelCut inner);

  protected:
    void paint_background(HDC dc, const RECT& area) override;
    void on_dpi_changed() override { apply_dpi_to_children(); }

  private:
    template <typename T> friend LRESULT CALLBACK window_procedure(HWND, UINT, WPARAM, LPARAM);
    static Panel* object_of(HWND hwnd);
    LRESULT window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    Container& parent_;
    BevelCut outer_;
    BevelCut inner_;
};

// A raised (or lowered) box frame drawn on the parent's surface.
class Bevel : public GraphicControl {
  public:
    Bevel(Container& parent, int x, int y, int w, int h, BevelCut cut = BevelCut::raised);
    void paint(Canvas& canvas) override;

  private:
    BevelCut cut_;
};

} // namespace velmaro::gui
