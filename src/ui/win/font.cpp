#include "ui/win/font.h"

#include <map>
#include <tuple>

HFONT FontHandle(const Font& f, int dpi) {
    using Key = std::tuple<std::wstring, int, bool, bool, bool, bool, BYTE, int>;
    static std::map<Key, HFONT> cache;
    Key key{f.name, f.size, f.bold, f.italic, f.underline, f.strikeOut, f.charset, dpi};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(f.size, dpi, 72);
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strikeOut;
    lf.lfCharSet = f.charset;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, f.name.c_str(), LF_FACESIZE);
    HFONT h = CreateFontIndirectW(&lf);
    cache.emplace(key, h);
    return h;
}
