#include "ui/kit/win/markup_draw.h"

#include <cwctype>
#include <vector>

#include "interact/seam.h"
#include "ui/kit/win/markup_pictures.h"

namespace {

Font ToFont(const MarkupFont& f, const Font& base) {
    Font font = base;
    font.name = f.face;
    font.size = f.size;
    font.bold = f.bold;
    font.italic = f.italic;
    font.underline = f.underline;
    font.strikeOut = f.strike;
    return font;
}

MarkupFont FromFont(const Font& f) { return {f.name, f.size, f.bold, f.italic, f.underline, f.strikeOut}; }

class GdiMeasurer : public MarkupMeasurer {
public:
    GdiMeasurer(HDC dc, const MarkupPaint& paint)
        : dc_(dc), paint_(paint), saved_(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT))) {}
    ~GdiMeasurer() override { SelectObject(dc_, saved_); }

    MarkupExtent MeasureText(const MarkupFont& font, std::wstring_view text) override {
        if (paint_.extents) {
            if (const MarkupExtent* known = paint_.extents->Find(font, text)) return *known;
        }
        if (!selected_ || !(font == current_)) {
            SelectObject(dc_, FontHandle(ToFont(font, paint_.font), paint_.dpi));
            GetTextMetricsW(dc_, &metrics_);
            current_ = font;
            selected_ = true;
        }
        SIZE size{};
        GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
        const MarkupExtent extent{size.cx, metrics_.tmHeight, metrics_.tmAscent};
        if (paint_.extents) paint_.extents->Keep(font, text, extent);
        return extent;
    }

    MarkupSize PictureSize(std::wstring_view source) override {
        return MarkupPictureSize(source, Pictures(paint_));
    }

    static MarkupPictureSource Pictures(const MarkupPaint& paint) {
        // The combo boxes' renderer loads picture files without looking first.
        return {paint.images, paint.dialect == MarkupDialect::Full};
    }

private:
    HDC dc_;
    const MarkupPaint& paint_;
    HGDIOBJ saved_;
    MarkupFont current_;
    bool selected_ = false;
    TEXTMETRICW metrics_{};
};

void Fill(HDC dc, const MarkupRect& r, Color color) {
    RECT rect{r.left, r.top, r.right, r.bottom};
    FillRect(dc, &rect, BrushOf(color));
}

Color TextColor(const MarkupStyle& style, const MarkupPaint& paint) {
    if (paint.selected) return paint.selectionFontColor;
    if (style.anchor >= 0 && style.anchor == paint.hoverAnchor && paint.hoverFontColor != clNone) return paint.hoverFontColor;
    if (style.anchor >= 0) return paint.linkColor;
    return style.color == kNoColor ? paint.font.color : style.color;
}

void DrawText(HDC dc, const MarkupItem& item, const MarkupPaint& paint) {
    const MarkupStyle& style = item.style;
    Font font = ToFont(style.font, paint.font);
    if (style.anchor >= 0) font.underline = true;
    Color background = style.background;
    if (style.anchor >= 0 && style.anchor == paint.hoverAnchor && paint.hoverColor != clNone) background = paint.hoverColor;
    if (background != kNoColor) Fill(dc, item.rect, background);

    HFONT rotated = nullptr;
    HFONT handle = FontHandle(font, paint.dpi);
    if (style.angle != 0) {
        LOGFONTW lf{};
        GetObjectW(handle, sizeof(lf), &lf);
        lf.lfEscapement = lf.lfOrientation = style.angle * 10;
        rotated = CreateFontIndirectW(&lf);
        handle = rotated;
    }
    HGDIOBJ old = SelectObject(dc, handle);
    int length = static_cast<int>(item.text.size());
    // Glyphs are placed at their measured advances, so a word ends where the
    // layout thought it would even where rendering rounds differently.
    std::vector<int> advances(item.text.size() + 1);
    SIZE size{};
    const int* dx = nullptr;
    if (style.angle == 0 && GetTextExtentExPointW(dc, item.text.c_str(), length, 0, nullptr, advances.data(), &size)) {
        for (int i = length - 1; i > 0; --i) advances[static_cast<size_t>(i)] -= advances[static_cast<size_t>(i - 1)];
        dx = advances.data();
    }
    if (style.shadow) {
        int offset = MulDiv(paint.shadowOffset, paint.dpi, 96);
        SetTextColor(dc, ColorToRgb(paint.shadowColor));
        ExtTextOutW(dc, item.rect.left + offset, item.rect.top + offset, 0, nullptr, item.text.c_str(), length, dx);
    }
    SetTextColor(dc, ColorToRgb(TextColor(style, paint)));
    ExtTextOutW(dc, item.rect.left, item.rect.top, 0, nullptr, item.text.c_str(), length, dx);
    SelectObject(dc, old);
    if (rotated) DeleteObject(rotated);
}

void DrawBullet(HDC dc, const MarkupItem& item, const MarkupPaint& paint) {
    int size = MulDiv(5, paint.dpi, 96);
    int cx = item.rect.left + (item.rect.Width() - size) / 2;
    int cy = item.rect.top + (item.rect.Height() - size) / 2;
    COLORREF color = ColorToRgb(TextColor(item.style, paint));
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    // Odd levels get a filled disc, even levels a ring.
    HGDIOBJ oldBrush = SelectObject(dc, item.level % 2 == 1 ? BrushOf(TextColor(item.style, paint)) : GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx, cy, cx + size + 1, cy + size + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void TileBitmap(HDC dc, const std::wstring& file, const RECT& rect, const MarkupPaint& paint) {
    std::wstring source = L"file://" + file;
    MarkupPictureSource from = GdiMeasurer::Pictures(paint);
    MarkupSize size = MarkupPictureSize(source, from);
    if (size.width <= 0 || size.height <= 0) return;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    for (int y = rect.top; y < rect.bottom; y += size.height)
        for (int x = rect.left; x < rect.right; x += size.width)
            DrawMarkupPicture(dc, source, {x, y, x + size.width, y + size.height}, from);
    RestoreDC(dc, saved);
}

}  // namespace

std::wstring& MarkupExtentCache::Key(const MarkupFont& font, std::wstring_view text) {
    key_.assign(text);
    key_ += L'\0';
    key_ += font.face;
    key_ += static_cast<wchar_t>(L'0' + (font.bold ? 1 : 0) + (font.italic ? 2 : 0) + (font.underline ? 4 : 0) +
                                 (font.strike ? 8 : 0));
    key_ += std::to_wstring(font.size);
    return key_;
}

const MarkupExtent* MarkupExtentCache::Find(const MarkupFont& font, std::wstring_view text) {
    const auto found = extents_.find(Key(font, text));
    return found == extents_.end() ? nullptr : &found->second;
}

void MarkupExtentCache::Keep(const MarkupFont& font, std::wstring_view text, MarkupExtent extent) {
    if (extents_.size() >= kMostKept) extents_.clear();
    extents_.insert_or_assign(Key(font, text), extent);
}

MarkupLayout LayoutMarkupOn(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint) {
    GdiMeasurer measurer(dc, paint);
    return LayoutMarkup(markup, {rect.left, rect.top, rect.right, rect.bottom}, FromFont(paint.font), measurer,
                        paint.dialect, paint.dpi);
}

void DrawMarkupLayout(HDC dc, const MarkupLayout& layout, const RECT& rect, const MarkupPaint& paint) {
    if (layout.bodyColor != kNoColor) FillRect(dc, &rect, BrushOf(layout.bodyColor));
    if (!layout.bodyBackground.empty()) TileBitmap(dc, layout.bodyBackground, rect, paint);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    UINT oldAlign = SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    COLORREF oldColor = GetTextColor(dc);
    MarkupPictureSource pictures = GdiMeasurer::Pictures(paint);
    for (const MarkupItem& item : layout.items) {
        switch (item.kind) {
        case MarkupItem::Kind::Fill: Fill(dc, item.rect, item.style.background); break;
        case MarkupItem::Kind::Rule: Fill(dc, item.rect, clBlack); break;
        case MarkupItem::Kind::Text: DrawText(dc, item, paint); break;
        case MarkupItem::Kind::Bullet: DrawBullet(dc, item, paint); break;
        case MarkupItem::Kind::Picture:
            DrawMarkupPicture(dc, item.text, {item.rect.left, item.rect.top, item.rect.right, item.rect.bottom}, pictures);
            break;
        }
    }
    SetTextColor(dc, oldColor);
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
}

SIZE DrawMarkup(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint) {
    MarkupLayout layout = LayoutMarkupOn(dc, markup, rect, paint);
    DrawMarkupLayout(dc, layout, rect, paint);
    return {layout.width, layout.height};
}

SIZE MeasureMarkup(HDC dc, std::wstring_view markup, const RECT& rect, const MarkupPaint& paint) {
    MarkupLayout layout = LayoutMarkupOn(dc, markup, rect, paint);
    return {layout.width, layout.height};
}

std::wstring AnchorAtPoint(HDC dc, std::wstring_view markup, const RECT& rect, POINT point, const MarkupPaint& paint) {
    return MarkupAnchorAt(LayoutMarkupOn(dc, markup, rect, paint), point.x, point.y);
}

void ActivateAnchor(const std::wstring& href, const std::function<void(const std::wstring&)>& onAnchorClick) {
    std::wstring lower = href;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    if (lower.find(L"://") != std::wstring::npos || lower.find(L"mailto:") != std::wstring::npos) {
        Modal().ShellOpen(href, L"");
    } else if (onAnchorClick) {
        onAnchorClick(href);
    }
}
