#pragma once
// Layout of markup: words placed from the rectangle's top-left corner, lines
// broken at "<br>", "<hr>", "</p>" and where the next word no longer fits,
// each line as high as its highest word or picture and aligned as its "<p"
// says. The result is a list of positioned items that a canvas draws and
// that hit-testing searches for links.
//
// Text and pictures are measured through MarkupMeasurer, so the arithmetic
// runs anywhere; the Windows side measures with GDI.
#include <string>
#include <string_view>
#include <vector>

#include "ui/kit/markup.h"

struct MarkupRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct MarkupFont {
    std::wstring face;
    int size = 8;  // points; 0 lets the platform choose
    bool bold = false, italic = false, underline = false, strike = false;
    bool operator==(const MarkupFont&) const = default;
};

struct MarkupExtent {
    int width = 0, height = 0, ascent = 0;
};

struct MarkupSize {
    int width = 0, height = 0;
};

class MarkupMeasurer {
public:
    virtual ~MarkupMeasurer() = default;
    virtual MarkupExtent MeasureText(const MarkupFont& font, std::wstring_view text) = 0;
    // The natural size of a picture, {0, 0} when there is none.
    virtual MarkupSize PictureSize(std::wstring_view source) = 0;
};

// The full markup, or the subset that the combo boxes honour (no hidden
// text, no lists, no sub/superscript, shadow, rotation or blinking, no
// "res://" pictures).
enum class MarkupDialect { Full, Combo };

enum class MarkupAlign { Left, Right, Center };

struct MarkupStyle {
    MarkupFont font;
    MarkupColor color = kNoColor;       // kNoColor: the canvas's text colour
    MarkupColor background = kNoColor;  // behind the text; kNoColor: none
    int anchor = -1;                    // index into MarkupLayout::anchors
    bool shadow = false, blink = false;
    int angle = 0;  // degrees, counter-clockwise
};

struct MarkupItem {
    enum class Kind { Text, Picture, Bullet, Rule, Fill };
    Kind kind = Kind::Text;
    MarkupRect rect;                   // where it is drawn
    int lineTop = 0, lineBottom = 0;   // its line, for hit-testing
    std::wstring text;                 // Text: the word; Picture: the source
    MarkupStyle style;                 // Text, Bullet (colour); Fill: background
    int level = 0;                     // Bullet: list level, from 1
};

struct MarkupLayout {
    std::vector<MarkupItem> items;  // in drawing order
    std::vector<std::wstring> anchors;
    MarkupColor bodyColor = kNoColor;
    std::wstring bodyBackground;  // a bitmap file tiled over the rectangle
    int width = 0, height = 0;    // the room used
};

// Indent per list level at 96 DPI.
inline constexpr int kMarkupListIndent = 12;

// dpi scales the layout's own distances (list indent, room of "<hr>") as the
// measurer's fonts are scaled.
MarkupLayout LayoutMarkup(std::wstring_view markup, const MarkupRect& rect, const MarkupFont& font,
                          MarkupMeasurer& measurer, MarkupDialect dialect = MarkupDialect::Full, int dpi = 96);

// The href of the link drawn at (x, y), or empty.
std::wstring MarkupAnchorAt(const MarkupLayout& layout, int x, int y);
// Its index in layout.anchors, or -1.
int MarkupAnchorIndexAt(const MarkupLayout& layout, int x, int y);
