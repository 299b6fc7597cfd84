#include "ui/kit/markup_layout.h"

#include <algorithm>
#include <cwctype>

namespace {

bool ContainsNoCase(std::wstring_view text, std::wstring_view lowerNeedle) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower.find(lowerNeedle) != std::wstring::npos;
}

enum class PictureAlign { Baseline, Top, Middle };

bool HonouredByCombo(MarkupTag tag) {
    switch (tag) {
    case MarkupTag::Anchor: case MarkupTag::Bold: case MarkupTag::Break: case MarkupTag::Body:
    case MarkupTag::Font: case MarkupTag::Rule: case MarkupTag::Italic: case MarkupTag::Indent:
    case MarkupTag::Image: case MarkupTag::Paragraph: case MarkupTag::Underline:
        return true;
    default:
        return false;
    }
}

class Layouter {
public:
    Layouter(const MarkupRect& rect, const MarkupFont& font, MarkupMeasurer& measurer, MarkupDialect dialect, int dpi)
        : rect_(rect), measurer_(measurer), dialect_(dialect), dpi_(dpi) {
        style_.font = font;
    }

    MarkupLayout Run(std::wstring_view markup) {
        std::vector<MarkupToken> tokens = TokenizeMarkup(markup);
        for (size_t i = 0; i < tokens.size(); ++i) {
            const MarkupToken& token = tokens[i];
            if (token.kind == MarkupToken::Kind::Word) {
                Word(token.text);
                continue;
            }
            if (dialect_ == MarkupDialect::Combo && !HonouredByCombo(token.tag)) continue;
            if (token.tag == MarkupTag::Hidden) {
                // Hidden data takes no room, not even its line breaks.
                while (i + 1 < tokens.size() && !(tokens[i + 1].tag == MarkupTag::Hidden && tokens[i + 1].closing)) ++i;
                ++i;
                continue;
            }
            Tag(token);
        }
        FinishLine(false);
        out_.height = y_;
        return std::move(out_);
    }

private:
    struct Pending {
        MarkupItem item;
        int x = 0;         // from the rectangle's left edge
        int width = 0;     // without trailing spaces
        int advance = 0;   // with them
        int height = 0;
        int ascent = 0;    // room above the baseline, sub/superscript included
        int descent = 0;   // room below it
        PictureAlign align = PictureAlign::Baseline;
        bool breakBefore = false;  // a line may start with this item
    };

    struct FontFrame {
        MarkupFont font;
        MarkupColor color, background;
    };
    struct ParagraphFrame {
        MarkupAlign align;
        MarkupColor background;
    };

    int Scaled(int pixels) const { return (pixels * dpi_ + 48) / 96; }
    int Indent() const { return Scaled(kMarkupListIndent); }
    int LineStart() const { return listLevel_ * Indent(); }

    MarkupExtent Measure(std::wstring_view text) { return measurer_.MeasureText(style_.font, text); }

    int SpaceWidth() {
        if (!spaceCached_ || spaceFont_ != style_.font) {
            spaceFont_ = style_.font;
            spaceWidth_ = Measure(L" ").width;
            spaceCached_ = true;
        }
        return spaceWidth_;
    }

    void Word(const std::wstring& text) {
        if (text.empty()) return;
        size_t trimmed = text.find_last_not_of(L' ');
        std::wstring_view visible = trimmed == std::wstring::npos ? std::wstring_view{} : std::wstring_view(text).substr(0, trimmed + 1);
        size_t spaces = text.size() - visible.size();
        MarkupExtent extent = Measure(visible.empty() ? std::wstring_view(L"gh") : visible);
        Pending p;
        p.item.kind = MarkupItem::Kind::Text;
        p.item.text = text;
        p.item.style = style_;
        p.width = visible.empty() ? 0 : extent.width;
        p.advance = p.width + static_cast<int>(spaces) * SpaceWidth();
        // Subscript lowers, superscript raises the word by a quarter of its height.
        int shift = sub_ ? extent.height / 4 : sup_ ? -(extent.height / 4) : 0;
        p.ascent = extent.ascent - shift;
        p.descent = extent.height - extent.ascent + shift;
        p.height = extent.height;
        p.breakBefore = afterSpace_;
        afterSpace_ = spaces > 0;
        Place(std::move(p));
    }

    void Picture(const MarkupToken& tag) {
        std::wstring source = MarkupAttribute(tag.text, L"src");
        if (dialect_ == MarkupDialect::Combo && source.rfind(L"res://", 0) == 0) return;
        MarkupSize size = measurer_.PictureSize(source);
        if (size.width <= 0 || size.height <= 0) return;  // a missing picture draws nothing
        int w = ParseMarkupInt(MarkupAttribute(tag.text, L"width"), 0);
        int h = ParseMarkupInt(MarkupAttribute(tag.text, L"height"), 0);
        if (w >= 1 && h >= 1) size = {w, h};
        std::wstring align = MarkupAttribute(tag.text, L"align");
        Pending p;
        p.item.kind = MarkupItem::Kind::Picture;
        p.item.text = source;
        p.item.style = style_;
        p.width = p.advance = size.width;
        p.height = size.height;
        p.align = ContainsNoCase(align, L"top") ? PictureAlign::Top
                  : ContainsNoCase(align, L"middle") ? PictureAlign::Middle : PictureAlign::Baseline;
        p.ascent = p.align == PictureAlign::Baseline ? size.height : 0;
        p.breakBefore = true;
        afterSpace_ = true;
        Place(std::move(p));
    }

    void Bullet() {
        FinishLine(false);
        int level = std::max(listLevel_, 1);
        MarkupExtent extent = Measure(L"gh");
        Pending p;
        p.item.kind = MarkupItem::Kind::Bullet;
        p.item.style = style_;
        p.item.level = level;
        p.x = (level - 1) * Indent();
        p.width = p.advance = Indent();
        p.ascent = extent.ascent;
        p.descent = extent.height - extent.ascent;
        p.height = extent.height;
        line_.push_back(std::move(p));
        x_ = level * Indent();
        afterSpace_ = false;
    }

    void Place(Pending p) {
        if (!line_.empty() && x_ + p.width > rect_.Width()) {
            if (p.breakBefore) {
                FinishLine(false);
            } else {
                // The word is glued to what precedes it ("<b>nowszy</b>,"):
                // carry the glued run over to the next line with it.
                size_t from = line_.size();
                while (from > 0 && !line_[from - 1].breakBefore) --from;
                if (from >= 2) {
                    std::vector<Pending> tail(std::make_move_iterator(line_.begin() + static_cast<long>(from - 1)),
                                              std::make_move_iterator(line_.end()));
                    line_.erase(line_.begin() + static_cast<long>(from - 1), line_.end());
                    FinishLine(false);
                    int shift = tail.front().x - x_;
                    for (Pending& moved : tail) {
                        moved.x -= shift;
                        x_ = moved.x + moved.advance;
                        line_.push_back(std::move(moved));
                    }
                }
            }
        }
        p.x = x_;
        x_ += p.advance;
        line_.push_back(std::move(p));
    }

    // Ends the current line. An empty line takes room only when forced (a
    // "<br>" on a line of its own): the height of "gh" in the current font.
    void FinishLine(bool forced) {
        if (line_.empty()) {
            if (forced) y_ += Measure(L"gh").height;
            x_ = LineStart();
            afterSpace_ = false;
            return;
        }
        int ascent = 0, descent = 0, lineWidth = 0;
        for (const Pending& p : line_) {
            if (p.align == PictureAlign::Baseline) {
                ascent = std::max(ascent, p.ascent);
                descent = std::max(descent, p.descent);
            }
            lineWidth = std::max(lineWidth, p.x + p.width);
        }
        int height = ascent + descent;
        for (const Pending& p : line_)
            if (p.align != PictureAlign::Baseline && p.height > height) {
                descent += p.height - height;
                height = p.height;
            }
        int offset = 0;
        if (paragraph_.align == MarkupAlign::Right) offset = std::max(0, rect_.Width() - lineWidth);
        if (paragraph_.align == MarkupAlign::Center) offset = std::max(0, (rect_.Width() - lineWidth) / 2);
        int top = rect_.top + y_;
        int bottom = top + height;
        if (paragraph_.background != kNoColor) {
            MarkupItem fill;
            fill.kind = MarkupItem::Kind::Fill;
            fill.rect = {rect_.left, top, rect_.right, bottom};
            fill.lineTop = top;
            fill.lineBottom = bottom;
            fill.style.background = paragraph_.background;
            out_.items.push_back(std::move(fill));
        }
        for (Pending& p : line_) {
            MarkupItem& item = p.item;
            int itemHeight = p.height;
            int left = rect_.left + offset + p.x;
            int itemTop;
            switch (p.align) {
            case PictureAlign::Top: itemTop = top; break;
            case PictureAlign::Middle: itemTop = top + (height - itemHeight) / 2; break;
            default: itemTop = top + ascent - p.ascent;
            }
            item.rect = {left, itemTop, left + p.advance, itemTop + itemHeight};
            item.lineTop = top;
            item.lineBottom = bottom;
            out_.items.push_back(std::move(item));
        }
        out_.width = std::max(out_.width, lineWidth);
        y_ += height;
        line_.clear();
        x_ = LineStart();
        afterSpace_ = false;
    }

    void Tag(const MarkupToken& tag) {
        bool open = !tag.closing;
        switch (tag.tag) {
        case MarkupTag::Bold: style_.font.bold = open; break;
        case MarkupTag::Italic: style_.font.italic = open; break;
        case MarkupTag::Underline: style_.font.underline = open; break;
        case MarkupTag::Strike: style_.font.strike = open; break;
        case MarkupTag::Sub: sub_ = open; break;
        case MarkupTag::Sup: sup_ = open; break;
        case MarkupTag::Shadow: style_.shadow = open; break;
        case MarkupTag::Blink: style_.blink = open; break;
        case MarkupTag::Rotate:
            style_.angle = open ? ParseMarkupInt(MarkupAttribute(tag.text, L"a"), 0) : 0;
            break;
        case MarkupTag::Break:
            if (open) FinishLine(true);
            break;
        case MarkupTag::Rule:
            if (!open) break;
            FinishLine(false);
            {
                MarkupItem rule;
                rule.kind = MarkupItem::Kind::Rule;
                int y = rect_.top + y_ + Scaled(1);
                rule.rect = {rect_.left, y, rect_.right, y + 1};
                rule.lineTop = rule.lineBottom = y;
                out_.items.push_back(std::move(rule));
                y_ += 2 * Scaled(1) + 1;
            }
            break;
        case MarkupTag::Paragraph:
            FinishLine(false);
            if (open) {
                paragraphs_.push_back(paragraph_);
                std::wstring align = MarkupAttribute(tag.text, L"align");
                if (ContainsNoCase(align, L"right")) paragraph_.align = MarkupAlign::Right;
                else if (ContainsNoCase(align, L"left")) paragraph_.align = MarkupAlign::Left;
                else if (ContainsNoCase(align, L"center")) paragraph_.align = MarkupAlign::Center;
                std::wstring background = MarkupAttribute(tag.text, L"bgcolor");
                if (!background.empty()) paragraph_.background = ParseMarkupColor(background);
            } else if (!paragraphs_.empty()) {
                paragraph_ = paragraphs_.back();
                paragraphs_.pop_back();
            }
            break;
        case MarkupTag::Font:
            if (open) {
                fonts_.push_back({style_.font, style_.color, style_.background});
                std::wstring face = MarkupAttribute(tag.text, L"face");
                if (!face.empty()) style_.font.face = face;
                std::wstring color = MarkupAttribute(tag.text, L"color");
                if (!color.empty()) style_.color = ParseMarkupColor(color);
                std::wstring background = MarkupAttribute(tag.text, L"bgcolor");
                if (!background.empty()) style_.background = ParseMarkupColor(background);
                std::wstring size = MarkupAttribute(tag.text, L"size");
                if (!size.empty()) style_.font.size = std::max(0, ParseMarkupInt(size, 0));
            } else if (!fonts_.empty()) {
                style_.font = fonts_.back().font;
                style_.color = fonts_.back().color;
                style_.background = fonts_.back().background;
                fonts_.pop_back();
            }
            break;
        case MarkupTag::Anchor:
            if (open) {
                out_.anchors.push_back(MarkupAttribute(tag.text, L"href"));
                style_.anchor = static_cast<int>(out_.anchors.size()) - 1;
            } else {
                style_.anchor = -1;
            }
            break;
        case MarkupTag::Image:
            if (open) Picture(tag);
            break;
        case MarkupTag::Indent:
            if (open) {
                int x = ParseMarkupInt(MarkupAttribute(tag.text, L"x"), -1);
                if (x > x_) {
                    x_ = x;
                    afterSpace_ = true;
                }
            }
            break;
        case MarkupTag::List:
            FinishLine(false);
            listLevel_ = std::max(0, listLevel_ + (open ? 1 : -1));
            x_ = LineStart();
            break;
        case MarkupTag::ListItem:
            if (open) Bullet();
            break;
        case MarkupTag::Body:
            if (open) {
                std::wstring background = MarkupAttribute(tag.text, L"bgcolor");
                if (!background.empty()) out_.bodyColor = ParseMarkupColor(background);
                std::wstring tile = MarkupAttribute(tag.text, L"background");
                if (tile.rfind(L"file://", 0) == 0) out_.bodyBackground = tile.substr(7);
            }
            break;
        case MarkupTag::Hidden:
        case MarkupTag::Unknown:
            break;
        }
    }

    MarkupRect rect_;
    MarkupMeasurer& measurer_;
    MarkupDialect dialect_;
    int dpi_;
    MarkupLayout out_;
    MarkupStyle style_;
    std::vector<FontFrame> fonts_;
    ParagraphFrame paragraph_{MarkupAlign::Left, kNoColor};
    std::vector<ParagraphFrame> paragraphs_;
    std::vector<Pending> line_;
    int x_ = 0, y_ = 0;
    int listLevel_ = 0;
    bool sub_ = false, sup_ = false;
    bool afterSpace_ = false;
    MarkupFont spaceFont_;
    int spaceWidth_ = 0;
    bool spaceCached_ = false;
};

}  // namespace

MarkupLayout LayoutMarkup(std::wstring_view markup, const MarkupRect& rect, const MarkupFont& font,
                          MarkupMeasurer& measurer, MarkupDialect dialect, int dpi) {
    return Layouter(rect, font, measurer, dialect, dpi).Run(markup);
}

int MarkupAnchorIndexAt(const MarkupLayout& layout, int x, int y) {
    for (const MarkupItem& item : layout.items) {
        if (item.style.anchor < 0 || (item.kind != MarkupItem::Kind::Text && item.kind != MarkupItem::Kind::Picture))
            continue;
        if (x >= item.rect.left && x < item.rect.right && y >= item.lineTop && y < item.lineBottom) return item.style.anchor;
    }
    return -1;
}

std::wstring MarkupAnchorAt(const MarkupLayout& layout, int x, int y) {
    int index = MarkupAnchorIndexAt(layout, x, y);
    return index < 0 ? std::wstring() : layout.anchors[static_cast<size_t>(index)];
}
