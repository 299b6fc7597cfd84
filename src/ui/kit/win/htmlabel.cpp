#include "ui/kit/win/htmlabel.h"

#include <numeric>

THTMLabel::THTMLabel(WinControl* parent, const std::wstring& markup) : Control(parent) {
    SetParentColorSilently(true);
    if (!markup.empty()) SetHTML(markup);
}

void THTMLabel::SetHTMLText(std::vector<std::wstring> lines) {
    lines_ = std::move(lines);
    markup_ = std::accumulate(lines_.begin(), lines_.end(), std::wstring());
    SetText(MarkupPlainText(markup_));
    AdjustSize();
    Invalidate();
}

void THTMLabel::SetAutoSizing(bool v) {
    autoSizing_ = v;
    AdjustSize();
}

MarkupPaint THTMLabel::PaintOptions() const {
    MarkupPaint paint;
    paint.font = GetFont();
    if (!Enabled()) paint.font.color = clGrayText;
    paint.dpi = Dpi();
    paint.linkColor = urlColor_;
    paint.images = images_;
    paint.shadowColor = shadowColor_;
    paint.shadowOffset = shadowOffset_;
    if (hover_) {
        paint.hoverAnchor = hotAnchor_;
        paint.hoverColor = hoverColor_;
        paint.hoverFontColor = hoverFontColor_;
    }
    return paint;
}

MarkupLayout THTMLabel::LayoutIn(HDC dc, const RECT& client) const {
    RECT r = client;
    int inset = Px(margin_) + (border_ == TLabelBorder::bsSingle ? 1 : 0);
    InflateRect(&r, -inset, -inset);
    MarkupPaint paint = PaintOptions();
    MarkupLayout layout = LayoutMarkupOn(dc, markup_, r, paint);
    if (vAlignment_ != TVAlignment::tvaTop) {
        int free = (r.bottom - r.top) - layout.height;
        int shift = vAlignment_ == TVAlignment::tvaCenter ? free / 2 : free;
        if (shift > 0) {
            r.top += shift;
            layout = LayoutMarkupOn(dc, markup_, r, paint);
        }
    }
    return layout;
}

void THTMLabel::Paint(HDC dc, const RECT& r) {
    if (!transparent_) FillRect(dc, &r, BrushOf(GetColor()));
    if (border_ == TLabelBorder::bsSingle) FrameRect(dc, &r, BrushOf(clBlack));
    DrawMarkupLayout(dc, LayoutIn(dc, r), r, PaintOptions());
}

int THTMLabel::FittingHeight() const {
    ScreenDC dc;
    RECT client{0, 0, Px(Width()), 4096};
    int inset = Px(margin_) + (border_ == TLabelBorder::bsSingle ? 1 : 0);
    InflateRect(&client, -inset, -inset);
    SIZE used = MeasureMarkup(dc, markup_, client, PaintOptions());
    return Units(used.cy + 2 * inset);
}

void THTMLabel::AdjustSize() {
    if (!autoSizing_ || markup_.empty()) return;
    int height = FittingHeight();
    if (height != Height()) SetHeight(height);
}

void THTMLabel::BoundsChanged() {
    Control::BoundsChanged();
    AdjustSize();
}

void THTMLabel::AppearanceChanged() {
    Control::AppearanceChanged();
    AdjustSize();
}

void THTMLabel::MouseDown(MouseButton button, int x, int y) {
    downOnAnchor_ = false;
    if (button != MouseButton::Left) return;
    ScreenDC dc;
    MarkupLayout layout = LayoutIn(dc, {0, 0, Px(Width()), Px(Height())});
    int index = MarkupAnchorIndexAt(layout, x, y);
    if (index < 0) return;
    downOnAnchor_ = true;
    std::wstring href = layout.anchors[static_cast<size_t>(index)];
    ActivateAnchor(href, [this](const std::wstring& anchor) {
        if (OnAnchorClick) OnAnchorClick(this, anchor);
    });
}

void THTMLabel::MouseUp(MouseButton button, int x, int y) {
    // A press on a link did its work already.
    if (downOnAnchor_) {
        downOnAnchor_ = false;
        return;
    }
    Control::MouseUp(button, x, y);
}

void THTMLabel::MouseMove(int x, int y) {
    ScreenDC dc;
    MarkupLayout layout = LayoutIn(dc, {0, 0, Px(Width()), Px(Height())});
    int index = MarkupAnchorIndexAt(layout, x, y);
    SetCursor(index >= 0 ? LoadCursorW(nullptr, IDC_HAND) : nullptr);
    if (index == hotAnchor_) return;
    if (anchorHint_) {
        // Over a link the hint is its href; the label's own hint comes back after.
        if (hotAnchor_ < 0) ownHint_ = Hint();
        SetHint(index >= 0 ? layout.anchors[static_cast<size_t>(index)] : ownHint_);
    }
    hotAnchor_ = index;
    if (hover_) Invalidate();
}

void THTMLabel::MouseLeave() {
    if (hotAnchor_ < 0) return;
    if (anchorHint_) SetHint(ownHint_);
    hotAnchor_ = -1;
    if (hover_) Invalidate();
}
