// TSelButton: a flat push button without a window of its own. It draws on its parent's
// surface: a fill, a caption and a frame of one-pixel outlines. The pointer over it shows
// the hover face, a left press the pressed face; a click fires OnClick. It takes no
// keyboard focus.
//
// The button keeps no record of hover or press: each pointer notification draws the
// matching face at once, and any later repaint draws the normal face.
#pragma once

#include <string>

#include "base/color.h"
#include "controls/button_face.h"
#include "gui/events_win.h"
#include "gui/graphic_control_win.h"

namespace velmaro::controls {

// The green of a button under the pointer and pressed, unless told otherwise.
inline constexpr TColor kHoverGreen = 0xA4B984;

class TSelButton : public gui::GraphicControl {
  public:
    TSelButton();

    // The properties below that repaint draw at once on the parent: without a parent
    // they store the value and then throw the framework's velmaro::Error.

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    // The normal fill. While the button is disabled it reads as the parent's
    // background; assigning it then still shows at once and survives enabling.
    TColor Color() const { return colors_.face(); }
    void SetColor(TColor color);
    // The colour enabling puts back.
    TColor ColorSaved() const { return colors_.saved(); }

    TColor ColorBorder() const { return color_border_; }
    void SetColorBorder(TColor color);

    // The button's own enabled flag. The framework's enabled state stays on, so the
    // pointer notifications, hints and OnMouseMove keep arriving while it is off.
    bool Enabled() const { return colors_.enabled(); }
    void SetEnabled(bool on);

    // Stored only: they show at the next hover, press or release.
    TColor ColorOverCaption() const { return color_over_caption_; }
    void SetColorOverCaption(TColor color) { color_over_caption_ = color; }
    TColor ColorOver() const { return color_over_; }
    void SetColorOver(TColor color) { color_over_ = color; }
    TColor ColorDown() const { return color_down_; }
    void SetColorDown(TColor color) { color_down_ = color; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    // Number of one-pixel outlines, growing inward from the edge; 0 or less: none.
    int BorderWidth() const { return border_width_; }
    void SetBorderWidth(int width);

    // The button's own events, fired only while Enabled. OnMouseEnter and OnMouseLeave
    // come in pairs: a leave is reported only after a reported enter, so a button
    // disabled under the pointer (say by its own OnClick) still reports the leave.
    gui::TMouseEvent OnMouseDown;
    gui::TMouseEvent OnMouseUp;
    gui::TNotifyEvent OnMouseEnter;
    gui::TNotifyEvent OnMouseLeave;
    gui::TNotifyEvent OnClick;

    // Draws one face on a canvas, using the canvas font as the last paint left it.
    void DrawFace(gui::Canvas& canvas, ButtonFace face);

    // Framework notifications.
    void paint(gui::Canvas& canvas) override;
    void on_parent_changed() override;
    void click() override;
    void mouse_down(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void mouse_up(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void mouse_enter() override;
    void mouse_leave() override;

  protected:
    // The surface the pointer notifications draw on at once: the canvas over the parent.
    // Tests draw into memory instead.
    virtual gui::Canvas& face_canvas() { return canvas(); }

  private:
    TColor parent_background() const;

    std::string caption_;
    ButtonColorState colors_{clBtnFace};
    TColor color_border_ = clGray;
    TColor color_over_caption_ = clBlack;
    TColor color_over_ = kHoverGreen;
    TColor color_down_ = kHoverGreen;
    TAlignment alignment_ = taLeftJustify;
    int border_width_ = 1;
    bool enter_reported_ = false;
};

} // namespace velmaro::controls
