#include "ui/win/color.h"

#include <map>

COLORREF ColorToRgb(Color c) {
    if (IsSystemColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

HBRUSH BrushOf(Color c) {
    if (IsSystemColor(c)) return GetSysColorBrush(static_cast<int>(c & 0xFF));
    static std::map<COLORREF, HBRUSH> cache;
    COLORREF rgb = ColorToRgb(c);
    auto it = cache.find(rgb);
    if (it != cache.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(rgb);
    cache.emplace(rgb, brush);
    return brush;
}
