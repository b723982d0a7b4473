#include "controls/contrast_colors.h"

#include "base/color.h"

namespace velmaro::controls {

namespace {
constexpr ColorValue clHighlight = kSystemColorFlag | 13;     // COLOR_HIGHLIGHT
constexpr ColorValue clHighlightText = kSystemColorFlag | 14; // COLOR_HIGHLIGHTTEXT
constexpr ColorValue clGrayText = kSystemColorFlag | 17;      // COLOR_GRAYTEXT
} // namespace

ButtonColors contrast_button_colors(bool enabled) {
    ButtonColors c;
    c.face = clBtnFace;
    c.font = enabled ? clBtnText : clGrayText;
    c.over = clHighlight;
    c.over_caption = clHighlightText;
    c.down = clHighlight;
    return c;
}

ColorValue contrast_border_color(bool enabled) {
    return enabled ? clBtnText : clGrayText;
}

LinkColors contrast_link_colors(bool hovered) {
    return hovered ? LinkColors{clHighlightText, clHighlight} : LinkColors{clBtnText, clBtnFace};
}

} // namespace velmaro::controls
