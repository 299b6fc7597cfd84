#include "ui/kit/win/htmlcheckbox.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "ui/kit/markup.h"
#include "ui/kit/win/markup_draw.h"

THTMLCheckBox::THTMLCheckBox(WinControl* parent, const std::wstring& markup, bool radio)
    : WinControl(parent), radio_(radio) {
    SetParentColor(true);
    CreateHandle(nullptr, WS_TABSTOP);
    SetMarkup(markup);
    if (radio_) UpdateTabStops();
}

void THTMLCheckBox::SetMarkup(const std::wstring& markup) {
    markup_ = markup;
    SetText(MarkupPlainText(markup));
    Invalidate();
}

void THTMLCheckBox::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    if (radio_ && v) {
        for (THTMLCheckBox* other : Group())
            if (other != this && other->checked_) {
                other->checked_ = false;
                other->Invalidate();
            }
    }
    if (radio_) UpdateTabStops();
    Invalidate();
}

std::vector<THTMLCheckBox*> THTMLCheckBox::Group() const {
    std::vector<THTMLCheckBox*> group;
    if (!Parent()) return group;
    for (const auto& child : Parent()->Children()) {
        auto* box = dynamic_cast<THTMLCheckBox*>(child.get());
        if (box && box->radio_) group.push_back(box);
    }
    return group;
}

void THTMLCheckBox::UpdateTabStops() {
    const std::vector<THTMLCheckBox*> group = Group();
    const auto chosen = std::find_if(group.begin(), group.end(), [](THTMLCheckBox* b) { return b->checked_; });
    for (THTMLCheckBox* box : group) {
        const bool stop = chosen == group.end() ? box == group.front() : box == *chosen;
        LONG_PTR style = GetWindowLongPtrW(box->Handle(), GWL_STYLE);
        style = stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        SetWindowLongPtrW(box->Handle(), GWL_STYLE, style);
    }
}

void THTMLCheckBox::Click() {
    if (!Enabled()) return;
    if (radio_) {
        if (checked_) return;
        SetChecked(true);
    } else {
        SetChecked(!checked_);
    }
    if (OnChange) OnChange(this);
    WinControl::Click();
}

void THTMLCheckBox::MouseDown(MouseButton button, int x, int y) {
    if (button == MouseButton::Left && Enabled()) SetFocus();
    WinControl::MouseDown(button, x, y);
}

void THTMLCheckBox::MoveInGroup(int step) {
    const std::vector<THTMLCheckBox*> group = Group();
    const auto at = std::find(group.begin(), group.end(), this);
    if (at == group.end()) return;
    const int n = static_cast<int>(group.size());
    int index = static_cast<int>(at - group.begin());
    for (int k = 1; k < n; ++k) {
        THTMLCheckBox* next = group[static_cast<size_t>(((index + step * k) % n + n) % n)];
        if (!next->Enabled() || !next->Showing()) continue;
        next->SetFocus();
        next->Click();
        return;
    }
}

bool THTMLCheckBox::KeyDown(WPARAM key) {
    switch (key) {
    case VK_SPACE:
        Click();
        return true;
    case VK_UP:
    case VK_LEFT:
        if (!radio_) return false;
        MoveInGroup(-1);
        return true;
    case VK_DOWN:
    case VK_RIGHT:
        if (!radio_) return false;
        MoveInGroup(1);
        return true;
    }
    return false;
}

LRESULT THTMLCheckBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        return radio_ ? DLGC_WANTARROWS : 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case WM_CHAR:
        if (wp == L' ') return 0;
        break;
    }
    return WinControl::HandleMessage(msg, wp, lp);
}

void THTMLCheckBox::UseStandardColors() { SetParentColor(true); }

void THTMLCheckBox::BoundsChanged() {
    WinControl::BoundsChanged();
    Invalidate();
}

void THTMLCheckBox::EnabledChanged() {
    WinControl::EnabledChanged();
    Invalidate();
}

void THTMLCheckBox::AdjustHeight() {
    // Not laid out yet (a page not shown so far): nothing to fit to.
    if (Px(Width()) <= TextLeft()) return;
    ScreenDC dc;
    MarkupPaint paint;
    paint.font = GetFont();
    paint.dpi = Dpi();
    RECT r{0, 0, Px(Width()) - TextLeft(), 4096};
    const SIZE used = MeasureMarkup(dc, markup_, r, paint);
    const int height = Units(std::max<int>(used.cy, BoxSize()) + Px(4));
    if (height != Height()) SetHeight(height);
}

void THTMLCheckBox::PaintBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, BrushOf(GetColor()));

    MarkupPaint paint;
    paint.font = GetFont();
    if (!Enabled()) paint.font.color = clGrayText;
    paint.dpi = Dpi();
    RECT text{client.left + TextLeft(), client.top + Px(1), client.right, client.bottom};

    // The box stands beside the first line.
    HGDIOBJ old = SelectObject(dc, FontHandle(GetFont(), Dpi()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    const int size = BoxSize();
    const int top = text.top + std::max(0, static_cast<int>(metrics.tmHeight) - size) / 2;
    RECT box{client.left, top, client.left + size, top + size};

    bool drawn = false;
    if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
        int part = radio_ ? BP_RADIOBUTTON : BP_CHECKBOX;
        int state = radio_ ? (checked_ ? (Enabled() ? RBS_CHECKEDNORMAL : RBS_CHECKEDDISABLED)
                                       : (Enabled() ? RBS_UNCHECKEDNORMAL : RBS_UNCHECKEDDISABLED))
                           : (checked_ ? (Enabled() ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                                       : (Enabled() ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED));
        drawn = SUCCEEDED(DrawThemeBackground(theme, dc, part, state, &box, nullptr));
        CloseThemeData(theme);
    }
    if (!drawn) {
        UINT flags = (radio_ ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (checked_ ? DFCS_CHECKED : 0) |
                     (Enabled() ? 0 : DFCS_INACTIVE);
        DrawFrameControl(dc, &box, DFC_BUTTON, flags);
    }

    const SIZE used = DrawMarkup(dc, markup_, text, paint);
    if (Focused()) {
        // Below the descenders of the last line (its ogoneks included).
        RECT focus{text.left - Px(2), text.top - Px(1), text.left + used.cx + Px(2), text.top + used.cy + Px(2)};
        IntersectRect(&focus, &focus, &client);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}
