// Colours as the forms and controls describe them: 0x00BBGGRR for a direct colour (red
// in the low byte); 0x80 in the top byte names a system colour by its index.
#pragma once

#include <cstdint>

namespace velmaro {

using TColor = std::uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr TColor clBlack = 0x000000;
constexpr TColor clGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clBtnFace = kSystemColorFlag | 15;      // COLOR_BTNFACE
constexpr TColor clWindow = kSystemColorFlag | 5;        // COLOR_WINDOW
constexpr TColor clWindowText = kSystemColorFlag | 8;    // COLOR_WINDOWTEXT
constexpr TColor clBtnText = kSystemColorFlag | 18;      // COLOR_BTNTEXT
constexpr TColor clBtnShadow = kSystemColorFlag | 16;    // COLOR_BTNSHADOW
constexpr TColor clBtnHighlight = kSystemColorFlag | 20; // COLOR_BTNHIGHLIGHT

constexpr bool is_system_color(TColor c) {
    return (c & 0xFF000000u) == kSystemColorFlag;
}
constexpr int system_color_index(TColor c) {
    return static_cast<int>(c & 0xFFu);
}

// A direct colour from its three components.
constexpr TColor rgb_color(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

} // namespace velmaro
