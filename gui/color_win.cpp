#include "gui/color_win.h"

#include <map>

#include "base/handles_win.h"

namespace velmaro::gui {

HBRUSH solid_brush(TColor c) {
    if (is_system_color(c))
        return GetSysColorBrush(system_color_index(c));
    static std::map<TColor, UniqueBrush> brushes;
    auto& b = brushes[c & 0x00FFFFFFu];
    if (!b)
        b.reset(CreateSolidBrush(to_colorref(c)));
    return b.get();
}

} // namespace velmaro::gui
