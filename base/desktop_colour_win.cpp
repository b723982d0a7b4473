#include "base/desktop_colour_win.h"

#include <windows.h>

namespace velmaro {

std::uint32_t desktop_colour() {
    const COLORREF c = GetSysColor(COLOR_BACKGROUND); // 0x00BBGGRR
    return std::uint32_t{GetRValue(c)} << 16 | std::uint32_t{GetGValue(c)} << 8 | GetBValue(c);
}

} // namespace velmaro
