#include "controls/URLLabel_win.h"

#include "base/error.h"
#include "controls/contrast_colors.h"
#include "gui/application_win.h"
#include "gui/contrast_win.h"
#include "gui/form_win.h"

namespace velmaro::controls {

TFontStyles TFontStyles::of(const gui::FontSpec& font) {
    return {font.bold, font.italic, font.underline, font.strike};
}

void TFontStyles::apply_to(gui::FontSpec& font) const {
    font.bold = fsBold;
    font.italic = fsItalic;
    font.underline = fsUnderline;
    font.strike = fsStrikeOut;
}

TURLLabel::TURLLabel() : url_(kDefaultAddress) {
    set_caption(url_);
    gui::FontSpec f = font();
    f.color = normal_color_;
    set_font(f);
}

void TURLLabel::SetNormalColor(TColor color) {
    normal_color_ = color;
    gui::FontSpec f = font();
    f.color = color;
    set_font(f);
}

void TURLLabel::SetURL(std::string url) {
    url_ = std::move(url);
    if (caption() == kDefaultAddress)
        set_caption(url_);
}

void TURLLabel::SetProtocol(TProtocol protocol) {
    if (!is_known_protocol(protocol))
        throw Error("Invalid property value");
    protocol_ = protocol;
}

// The font is changed once with the whole hover look, so the label is re-measured and
// repainted once.
void TURLLabel::mouse_enter() {
    GraphicLabel::mouse_enter();
    if (!enabled())
        return;
    gui::FontSpec f = font();
    if (!hover_look_)
        saved_style_ = TFontStyles::of(f);
    set_cursor(gui::crHandPoint);
    TFontStyles look = saved_style_;
    look.fsUnderline = true;
    if (over_bold_)
        look.fsBold = true;
    look.apply_to(f);
    f.color = over_color_;
    hover_look_ = true;
    set_font(f);
}

void TURLLabel::mouse_leave() {
    GraphicLabel::mouse_leave();
    if (!enabled() || !hover_look_)
        return;
    set_cursor(gui::crDefault);
    gui::FontSpec f = font();
    saved_style_.apply_to(f);
    f.color = normal_color_;
    hover_look_ = false;
    set_font(f);
}

void TURLLabel::click() {
    if (!enabled())
        return;
    GraphicLabel::click(); // OnClick
    const std::string address = Address();
    // Whether the shell could open it is its own business: it shows any message itself.
    shell_execute(application_window(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TURLLabel::paint(gui::Canvas& canvas) {
    if (!gui::high_contrast()) {
        GraphicLabel::paint(canvas);
        return;
    }
    const LinkColors colors = contrast_link_colors(hover_look_);
    canvas.set_font(font());
    canvas.set_font_color(colors.text);
    canvas.set_brush_color(colors.back);
    canvas.fill_rect(RECT{0, 0, width(), height()});
    canvas.text_out(0, 0, caption());
}

HWND TURLLabel::application_window() const {
    gui::Container* host = parent();
    gui::Form* form = host ? host->owning_form() : nullptr;
    return form ? form->app().handle() : nullptr;
}

} // namespace velmaro::controls
