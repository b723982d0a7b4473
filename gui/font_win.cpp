#include "gui/font_win.h"

#include <map>
#include <tuple>

namespace velmaro::gui {

int font_height_px(int size_pt, int dpi) {
    return -MulDiv(size_pt, dpi, 72);
}

UniqueFont make_font(const FontSpec& font, int dpi) {
    LOGFONTA lf{};
    lf.lfHeight = font_height_px(font.size_pt, dpi);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strike;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&lf));
}

HFONT cached_font(const FontSpec& font, int dpi) {
    using Key = std::tuple<std::string, int, bool, bool, bool, bool, int>;
    static std::map<Key, UniqueFont> fonts;
    auto& f = fonts[Key{font.name, font.size_pt, font.bold, font.italic, font.underline, font.strike, dpi}];
    if (!f)
        f = make_font(font, dpi);
    return f.get();
}

} // namespace velmaro::gui
