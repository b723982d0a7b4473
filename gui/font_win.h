// Fonts by name, size and style. The GDI font of a FontSpec is made once and kept for the
// rest of the run: the program uses a handful of fonts and its windows live until it ends.
#pragma once

#include <windows.h>

#include <string>

#include "base/color.h"
#include "base/handles_win.h"

namespace velmaro::gui {

struct FontSpec {
    std::string name = "MS Sans Serif";
    int size_pt = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    TColor color = clWindowText;

    bool operator==(const FontSpec&) const = default;
};

// The program is laid out at 96 dpi: 8 pt is 11 px (returned negative: a character height).
int font_height_px(int size_pt);

// A new GDI font for a font description; the caller owns it.
UniqueFont make_font(const FontSpec& font);

// The shared GDI font for a font description's face (cached for the run; never delete it).
HFONT cached_font(const FontSpec& font);

} // namespace velmaro::gui
