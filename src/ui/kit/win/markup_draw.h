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
#include <unordered_map>

#include "ui/kit/markup_layout.h"
#include "ui/win/color.h"
#include "ui/win/font.h"

// Text extents measured once and kept for the layouts that follow: in a
// list the same words come back from item to item (dates, sizes, folder
// names). The extents hold for one DPI on screen-compatible DCs; the owner
// clears them when its DPI changes. At most kMostKept are kept: then the
// cache starts afresh.
class MarkupExtentCache {
public:
    static constexpr size_t kMostKept = 50000;
    const MarkupExtent* Find(const MarkupFont& font, std::wstring_view text);
    void Keep(const MarkupFont& font, std::wstring_view text, MarkupExtent extent);
    void Clear() { extents_.clear(); }

private:
    std::wstring& Key(const MarkupFont& font, std::wstring_view text);
    std::unordered_map<std::wstring, MarkupExtent> extents_;
    std::wstring key_;
};

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
    MarkupExtentCache* extents = nullptr;  // kept extents, for measuring
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
