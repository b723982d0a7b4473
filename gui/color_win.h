// TColor to the GDI colour it stands for.
#pragma once

#include <windows.h>

#include "base/color.h"

namespace velmaro::gui {

// A system colour is looked up now, so a later change of the system scheme shows at the
// next drawing.
inline COLORREF to_colorref(TColor c) {
    if (is_system_color(c))
        return GetSysColor(system_color_index(c));
    return static_cast<COLORREF>(c & 0x00FFFFFFu);
}

// A solid brush of a colour, shared and kept for the run (never delete it). A system
// colour gives the system's own brush.
HBRUSH solid_brush(TColor c);

} // namespace velmaro::gui
