#include "gui/font_win.h"

#include <map>
#include <tuple>

namespace velmaro::gui {

bool FontSpec::same_face(const FontSpec& o) const {
    return name == o.name && size_pt == o.size_pt && bold == o.bold && italic == o.italic &&
           underline == o.underline && strike == o.strike;
}

int font_height_px(int size_pt) { return -MulDiv(size_pt, 96, 72); }

UniqueFont make_font(const FontSpec& spec) {
    LOGFONTA lf{};
    lf.lfHeight = font_height_px(spec.size_pt);
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.italic;
    lf.lfUnderline = spec.underline;
    lf.lfStrikeOut = spec.strike;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, spec.name.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&lf));
}

HFONT cached_font(const FontSpec& spec) {
    using Key = std::tuple<std::string, int, bool, bool, bool, bool>;
    static std::map<Key, UniqueFont> fonts;
    auto& f = fonts[Key{spec.name, spec.size_pt, spec.bold, spec.italic, spec.underline, spec.strike}];
    if (!f) f = make_font(spec);
    return f.get();
}

} // namespace velmaro::gui
