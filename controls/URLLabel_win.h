// TURLLabel: a windowless text label that behaves as a link. While the pointer is over
// it the caption is underlined (and bold when OverBold), takes OverColor, and the
// pointer shows a pointing hand; a click hands the composed address to the shell, which
// opens it with the user's handler for its kind (mail, web, FTP or file).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "base/color.h"
#include "controls/url_address.h"
#include "gui/controls_win.h"

namespace velmaro::controls {

// A font's style without its face, size and colour.
struct TFontStyles {
    bool fsBold = false;
    bool fsItalic = false;
    bool fsUnderline = false;
    bool fsStrikeOut = false;
    bool operator==(const TFontStyles&) const = default;

    static TFontStyles of(const gui::FontSpec& font);
    void apply_to(gui::FontSpec& font) const;
};

class TURLLabel : public gui::GraphicLabel {
  public:
    TURLLabel();

    // Recolours the caption at once, hovered or not.
    TColor NormalColor() const { return normal_color_; }
    void SetNormalColor(TColor color);
    // Stored only: shows from the next pointer-enter.
    TColor OverColor() const { return over_color_; }
    void SetOverColor(TColor color) { over_color_ = color; }
    bool OverBold() const { return over_bold_; }
    void SetOverBold(bool on) { over_bold_ = on; }

    // The caption follows a new URL only while it still shows the default address.
    const std::string& URL() const { return url_; }
    void SetURL(std::string url);

    TProtocol Protocol() const { return protocol_; }
    // Throws velmaro::Error for a value outside the enumeration.
    void SetProtocol(TProtocol protocol);

    // The style found at the last pointer-enter, put back at the leave.
    TFontStyles SavedStyle() const { return saved_style_; }

    // What a click hands to the shell: the protocol's prefix and the URL.
    std::string Address() const { return compose_address(protocol_, url_); }

    // The shell's "open"; tests put a recorder here so nothing is launched.
    using ShellExecuteFn = std::function<HINSTANCE(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)>;
    ShellExecuteFn shell_execute = ShellExecuteA;

    void mouse_enter() override;
    void mouse_leave() override;
    void click() override;
    // In high contrast the caption is drawn in the system's colours.
    void paint(gui::Canvas& canvas) override;

  private:
    HWND application_window() const;

    std::string url_;
    TFontStyles saved_style_;
    TProtocol protocol_ = ptWWW;
    TColor over_color_ = clRed;
    bool over_bold_ = false;
    TColor normal_color_ = clBlue;
    // The hover look is on. Guards against a leave that comes without its enter (the
    // pointer arrived while another control held the capture) and against a second
    // enter after a leave that a disabled label skipped: either would otherwise put a
    // wrong style back for good.
    bool hover_look_ = false;
};

} // namespace velmaro::controls
