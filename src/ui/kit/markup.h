#pragma once
// The HTML-like markup of captions, list items and messages: tokens, tag
// attributes, colours and the plain text of a markup string.
//
// Markup is a flat run of words and tags; there is no document tree. Tags are
// told apart by their leading letters, unknown tags are dropped, and a "<"
// without a later ">" ends the text. Layout lives in markup_layout.h.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A colour as GDI stores it (0x00BBGGRR), or a system colour: kSystemColorFlag
// with the desktop's colour index (the COLOR_* numbers of the platform).
using MarkupColor = std::uint32_t;
inline constexpr MarkupColor kSystemColorFlag = 0x80000000u;
// "No colour": transparent background, or the canvas's own text colour.
inline constexpr MarkupColor kNoColor = 0x1FFFFFFFu;

constexpr MarkupColor MarkupRgb(int r, int g, int b) {
    return static_cast<MarkupColor>(r) | (static_cast<MarkupColor>(g) << 8) | (static_cast<MarkupColor>(b) << 16);
}

enum class MarkupTag {
    Unknown,
    Bold,       // <b>
    Italic,     // <i>
    Underline,  // <u...> other than <ul>
    Strike,     // <s>
    Break,      // <br>
    Rule,       // <hr>
    Paragraph,  // <p align bgcolor>
    Font,       // <font face color bgcolor size>
    Anchor,     // <a href>
    Image,      // <img src width height align>
    Indent,     // <ind x>
    List,       // <ul>
    ListItem,   // <li>
    Sub,        // <sub>
    Sup,        // <sup>
    Shadow,     // <shad>
    Rotate,     // <r a>
    Blink,      // <blink>
    Body,       // <body bgcolor background>
    Hidden,     // <z>
};

struct MarkupToken {
    enum class Kind { Word, Tag };
    Kind kind = Kind::Word;
    // Word: the text to show, character references resolved; it ends after
    // its first space. Tag: the text between "<" and ">", for Attribute.
    std::wstring text;
    MarkupTag tag = MarkupTag::Unknown;
    bool closing = false;
};

std::vector<MarkupToken> TokenizeMarkup(std::wstring_view markup);

// The value of a tag's attribute, or empty when the tag does not carry it.
// The name is matched without regard to case as a whole attribute name (so
// "color" is not found inside "bgcolor"); the value is the text between the
// double quotes after "=", or the unquoted text up to the next space.
std::wstring MarkupAttribute(std::wstring_view tagText, std::wstring_view name);

// "#rrggbb" or a colour name such as "clNavy"; anything else is black.
MarkupColor ParseMarkupColor(std::wstring_view text);

// A decimal integer, or `fallback` when the text is not one.
int ParseMarkupInt(std::wstring_view text, int fallback);

// What a screen reader should read: the shown text without tags and hidden
// parts; line breaks become "\r\n".
std::wstring MarkupPlainText(std::wstring_view markup);
