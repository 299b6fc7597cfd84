#pragma once
// Fonts as the windows describe them (face, size in points, style, colour);
// the GDI font is made for the monitor's DPI and cached.
#include <windows.h>

#include <string>

#include "ui/win/color.h"

struct Font {
    std::wstring name = L"Tahoma";
    int size = 8;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    Color color = clWindowText;
    BYTE charset = EASTEUROPE_CHARSET;

    bool operator==(const Font&) const = default;
};

// The GDI font for the given DPI, owned by the cache (never delete it).
HFONT FontHandle(const Font& font, int dpi);
