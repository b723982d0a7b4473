// Fonts by name, size and style. The GDI font of a FontSpec is made once and kept for the
// rest of the run: the program uses a handful of fonts and its windows live until it ends.
#pragma once

#include <windows.h>

#include <string>

#include "base/color.h"
#include "base/handles_win.h"
#include "gui/dpi_win.h"

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

// A point size as a character height in pixels at a DPI (returned negative): 8 pt is
// 11 px at the design's 96 dpi, 16 px at 144 and 21 px at 192.
int font_height_px(int size_pt, int dpi = kDesignDpi);

// A new GDI font for a font description at a DPI; the caller owns it.
UniqueFont make_font(const FontSpec& font, int dpi = kDesignDpi);

// The shared GDI font for a font description's face at a DPI (cached for the run; never
// delete it).
HFONT cached_font(const FontSpec& font, int dpi = kDesignDpi);

} // namespace velmaro::gui
