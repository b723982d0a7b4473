#include "controls/button_face.h"

#include <algorithm>

namespace velmaro::controls {

FaceRect face_fill_rect(int width, int height, const FaceMetrics& m) {
    return {m.ring, m.ring, width - m.ring, height - m.ring};
}

FacePoint caption_position(TAlignment alignment, ButtonFace face, int width, int height, int text_width,
                           int text_height, const FaceMetrics& m) {
    const int shift = face == ButtonFace::pressed ? m.press_shift : 0;
    const int y = height / 2 - text_height / 2 + shift;
    switch (alignment) {
    case taRightJustify:
        // Pressed moves the caption left here, away from the frame it sits against.
        return {width - text_width - m.margin_right - shift, y};
    case taCenter:
        return {width / 2 - text_width / 2 + shift, y};
    case taLeftJustify:
    default:
        return {m.margin_left + shift, y};
    }
}

std::vector<FaceRect> border_outlines(int width, int height, int border_width) {
    std::vector<FaceRect> outlines;
    // Outline i is non-empty while 2i < side, i.e. i < ceil(side / 2).
    const int deepest = (std::min(width, height) + 1) / 2;
    const int count = std::clamp(border_width, 0, std::max(deepest, 0));
    outlines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        outlines.push_back({i, i, width - i, height - i});
    return outlines;
}

FaceLook face_look(ButtonFace face, const ButtonColors& colors) {
    switch (face) {
    case ButtonFace::hover:
        return {colors.over, colors.over_caption, false};
    case ButtonFace::pressed:
        return {colors.down, std::nullopt, true};
    case ButtonFace::normal:
    default:
        return {colors.face, colors.font, false};
    }
}

void draw_face(FaceCanvas& canvas, const FaceLayout& layout, ButtonFace face, const ButtonColors& colors) {
    const FaceLook look = face_look(face, colors);
    canvas.set_brush_color(look.fill);
    canvas.fill_rect(face_fill_rect(layout.width, layout.height, layout.metrics));
    if (look.caption)
        canvas.set_font_color(*look.caption);
    const int tw = canvas.text_width(layout.caption);
    const int th = canvas.text_height(layout.caption);
    const FacePoint at =
        caption_position(layout.alignment, face, layout.width, layout.height, tw, th, layout.metrics);
    canvas.text_out(at.x, at.y, layout.caption);
    canvas.set_brush_color(layout.border_color);
    for (const FaceRect& r : border_outlines(layout.width, layout.height, layout.border_width))
        canvas.frame_rect(r);
}

void ButtonColorState::disable(ColorValue parent_background) {
    if (enabled_)
        saved_ = face_;
    enabled_ = false;
    face_ = parent_background;
}

void ButtonColorState::enable() {
    enabled_ = true;
    face_ = saved_;
}

} // namespace velmaro::controls
