// Drawing surface of a windowless control (and of any DC). The canvas keeps its font,
// font colour and brush colour between drawings, as the controls rely on: a face drawn
// after a paint uses the font the paint left behind.
#pragma once

#include <windows.h>

#include <string>

#include "base/color.h"
#include "gui/font_win.h"

namespace velmaro::gui {

class GraphicControl;

class Canvas {
  public:
    // A canvas over a DC the caller owns (a memory DC, for instance): origin and clip as
    // the DC has them; fonts are made for the given DPI.
    explicit Canvas(HDC dc, int dpi = kDesignDpi);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Copies a font (typeface, size, style and colour) into the canvas.
    void set_font(const FontSpec& font);
    const FontSpec& font() const { return font_; }
    void set_font_color(TColor c) { font_.color = c; }
    TColor font_color() const { return font_.color; }
    void set_brush_color(TColor c) { brush_color_ = c; }
    TColor brush_color() const { return brush_color_; }

    // Fills with the brush: left and top edges included, right and bottom excluded.
    void fill_rect(const RECT& r);
    // A one-pixel outline along the inside of the rectangle, in the brush colour.
    void frame_rect(const RECT& r);
    int text_width(const std::string& text);
    int text_height(const std::string& text);
    // Text with its top-left corner at (x, y), the cell filled with the brush colour.
    void text_out(int x, int y, const std::string& text);

  private:
    friend class GraphicControl;
    friend class Container;
    // The canvas of a windowless control: it draws on the parent's surface, clipped to
    // the control, origin at the control's top-left corner.
    explicit Canvas(GraphicControl& owner);

    class Session;
    HDC fixed_dc_ = nullptr;          // a canvas over a caller's DC
    GraphicControl* owner_ = nullptr; // a control's canvas
    HDC paint_dc_ = nullptr;          // set while the control's host paints it
    int dpi_ = kDesignDpi;            // of a canvas over a caller's DC
    FontSpec font_;
    TColor brush_color_ = clWhite;
};

} // namespace velmaro::gui
