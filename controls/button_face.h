// The hover button's faces as plain data plus one drawing routine over a minimal
// canvas interface. Nothing here needs a window system, so the geometry and the order
// of the drawing calls can be checked natively with a recording canvas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmaro::controls {

// A colour as the forms store it: 0x00BBGGRR, or 0x80 in the top byte for a system
// colour index. The Win32 side converts it; the face routine only passes it on.
using ColorValue = std::uint32_t;

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

enum class ButtonFace { normal, hover, pressed };

// Left and top included, right and bottom excluded.
struct FaceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const FaceRect&) const = default;
};

struct FacePoint {
    int x = 0, y = 0;
    bool operator==(const FacePoint&) const = default;
};

// The face's fixed lengths in device pixels; the defaults are the design's at 96 dpi,
// and the Win32 button scales them to the screen's DPI.
struct FaceMetrics {
    int ring = 1;         // the outermost ring that the fill leaves
    int margin_left = 5;  // caption inset of taLeftJustify
    int margin_right = 6; // caption inset of taRightJustify
    int press_shift = 1;  // how far the pressed face moves the caption
    bool operator==(const FaceMetrics&) const = default;
};

// The part of the face that the fill covers: everything but the outermost ring, which
// stays the parent's background unless an outline covers it.
FaceRect face_fill_rect(int width, int height, const FaceMetrics& metrics = {});

// Top-left corner of the caption. The pressed face moves it one pixel down, and one
// pixel right, except for right-justified captions, which move one pixel left.
FacePoint caption_position(TAlignment alignment, ButtonFace face, int width, int height, int text_width,
                           int text_height, const FaceMetrics& metrics = {});

// The one-pixel outlines of a frame border_width pixels deep, outermost first.
// Outlines whose rectangle would be empty or inverted (a border deeper than half the
// smaller side) are left out: the outlines already drawn cover the whole face, so a
// very deep border simply shows the button in its border colour. This also keeps a huge
// width from turning into millions of no-op drawing calls.
std::vector<FaceRect> border_outlines(int width, int height, int border_width);

// The colours a button holds that the faces draw with.
struct ButtonColors {
    ColorValue face = 0;         // normal fill (the parent's background while disabled)
    ColorValue font = 0;         // the font's colour: the normal caption
    ColorValue over = 0;         // hover fill
    ColorValue over_caption = 0; // hover caption
    ColorValue down = 0;         // pressed fill
};

struct FaceLook {
    ColorValue fill = 0;
    // No value: leave the canvas font colour as the last drawing left it (pressed face).
    std::optional<ColorValue> caption;
    bool shifted = false;
};

FaceLook face_look(ButtonFace face, const ButtonColors& colors);

// What the face routine asks of a canvas; the Win32 button adapts the framework's
// canvas to it, the tests record the calls.
class FaceCanvas {
  public:
    virtual ~FaceCanvas() = default;
    virtual void set_brush_color(ColorValue color) = 0;
    virtual void fill_rect(const FaceRect& rect) = 0;
    virtual void frame_rect(const FaceRect& rect) = 0;
    virtual void set_font_color(ColorValue color) = 0;
    virtual int text_width(const std::string& text) = 0;
    virtual int text_height(const std::string& text) = 0;
    // Draws the text cell opaquely in the current brush colour.
    virtual void text_out(int x, int y, const std::string& text) = 0;
};

struct FaceLayout {
    int width = 0;
    int height = 0;
    std::string caption;
    TAlignment alignment = taLeftJustify;
    int border_width = 1; // one-pixel outlines, in device pixels
    ColorValue border_color = 0;
    FaceMetrics metrics{};
};

// Fill, caption, then frame: the frame is drawn last so that it may cover the outer
// pixels of the fill and the caption.
void draw_face(FaceCanvas& canvas, const FaceLayout& layout, ButtonFace face, const ButtonColors& colors);

// The button's own enabled flag and the colour it puts back when enabled again.
class ButtonColorState {
  public:
    explicit ButtonColorState(ColorValue color) : face_(color), saved_(color) {}

    bool enabled() const { return enabled_; }
    ColorValue face() const { return face_; }
    ColorValue saved() const { return saved_; }

    // A colour assigned while disabled shows at once and survives enabling.
    void set_color(ColorValue color) { face_ = saved_ = color; }
    // Only the first disabling saves the face colour: a second one would otherwise save
    // the parent's background and the button would never get its own colour back.
    void disable(ColorValue parent_background);
    void enable();

  private:
    ColorValue face_;
    ColorValue saved_;
    bool enabled_ = true;
};

} // namespace velmaro::controls
