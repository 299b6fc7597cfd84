#pragma once
// Markup on a GDI device context: drawing, measuring, the link under a point,
// and what a click on a link does.
//
// The starting font and colour are the control's; the text is drawn with a
// transparent background into the rectangle from its top-left corner.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/kit/markup_layout.h"
#include "ui/win/color.h"
#include "ui/win/font.h"

struct MarkupPaint {
    Font font;                        // starting font and text colour
    int dpi = 96;
    Color linkColor = Rgb(0, 0, 255);        // URLColor
    HIMAGELIST images = nullptr;      // for "idx:" pictures
    bool selected = false;            // text and links in selectionFontColor
    Color selectionFontColor = clHighlightText;
    Color shadowColor = Rgb(128, 128, 128);
    int shadowOffset = 2;
    int hoverAnchor = -1;             // link drawn in hoverFontColor on hoverColor
    Color hoverColor = clNone;
    Color hoverFontColor = clNone;
    MarkupDialect dialect = MarkupDialect::Full;
};

// Lays the markup out as it would be drawn (measures with the dc).
MarkupLayout LayoutMarkupOn(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint);

// Draws and returns the room used (width, height).
SIZE DrawMarkup(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint);
void DrawMarkupLayout(HDC dc, const MarkupLayout& layout, const RECT& rect, const MarkupPaint& paint);

// The room DrawMarkup would use, without drawing.
SIZE MeasureMarkup(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint);

// The href of the link drawn at the point, or empty.
std::wstring AnchorAtPoint(HDC dc, std::wstring_view markup, const RECT& rect, POINT point, const MarkupPaint& paint);

// A click on a link: an href with "://" or "mailto:" goes to the shell's
// "open"; any other href to onAnchorClick.
void ActivateAnchor(const std::wstring& href, const std::function<void(const std::wstring&)>& onAnchorClick);

// A screen DC with nothing selected, for measuring outside painting.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() { ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};
