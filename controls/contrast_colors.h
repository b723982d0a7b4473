// The colours the custom controls draw with in high contrast: the system's own, named by
// index, so that they follow whichever scheme the user chose, in place of the fixed
// greys and greens of their design. The designed values stay in the controls' properties.
#pragma once

#include "controls/button_face.h"

namespace velmaro::controls {

// A hover button's faces: button text on button face, the hover and pressed faces
// highlight text on highlight; a disabled button's caption in the grey text colour.
ButtonColors contrast_button_colors(bool enabled);
// Its frame, in the colour of its caption.
ColorValue contrast_border_color(bool enabled);

// A link label's caption and the fill behind it.
struct LinkColors {
    ColorValue text = 0;
    ColorValue back = 0;
};
LinkColors contrast_link_colors(bool hovered);

} // namespace velmaro::controls
