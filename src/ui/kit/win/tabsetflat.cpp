#include "ui/kit/win/tabsetflat.h"

#include <algorithm>

#include "ui/kit/win/htmlabel.h"

namespace {

constexpr int kMaxTabHeight = 17;
constexpr Color kBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);

void Line(HDC dc, int x1, int y1, int x2, int y2, Color color) {
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRgb(color));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

std::wstring Description(const std::wstring& pageName) {
    size_t bar = pageName.find(L'|');
    return bar == std::wstring::npos ? pageName : pageName.substr(bar + 1);
}

}  // namespace

TtevTabSetFlat::TtevTabSetFlat(WinControl* parent) : WinControl(parent) {
    SetBoundsSilently({0, 0, 200, 27});
    Font font = GetFont();
    font.name = L"Tahoma";
    font.color = clWhite;
    font.bold = true;
    font.charset = EASTEUROPE_CHARSET;
    SetFont(font);
    CreateHandle(nullptr, 0);
    SetAlign(Align::Top);
}

void TtevTabSetFlat::SetTabIndex(int index) {
    if (index == tabIndex_) return;
    if (index < -1 || index >= static_cast<int>(items_.size())) index = 0;
    tabIndex_ = index;
    ClickNotification();
    Invalidate();
}

void TtevTabSetFlat::ClickNotification() {
    // A screen reader reads the current tab's caption as the strip's text.
    std::wstring caption = tabIndex_ >= 0 && tabIndex_ < static_cast<int>(items_.size()) ? items_[static_cast<size_t>(tabIndex_)] : L"";
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    SetText(caption);
    if (notebook_) notebook_->SetPageIndex(tabIndex_);
    if (Notebook2) Notebook2->SetPageIndex(tabIndex_);
    if (InfoLabel && notebook_ && tabIndex_ >= 0 && tabIndex_ < notebook_->PageCount()) {
        std::wstring text = Description(notebook_->Page(tabIndex_)->Text());
        if (auto* html = dynamic_cast<THTMLabel*>(InfoLabel.get())) html->SetHTML(text);
        else InfoLabel->SetText(text);
    }
    Click();
}

void TtevTabSetFlat::SetItems(const std::vector<std::wstring>& items) {
    items_ = items;
    SetTabIndex(0);
    Invalidate();
}

void TtevTabSetFlat::SetNotebook(Notebook* notebook) {
    notebook_ = notebook;
    if (!notebook) return;
    std::vector<std::wstring> captions;
    for (int i = 0; i < notebook->PageCount(); ++i) {
        std::wstring name = notebook->Page(i)->Text();
        std::replace(name.begin(), name.end(), L'<', L'|');
        captions.push_back(name.substr(0, name.find(L'|')));
    }
    SetItems(captions);
}

int TtevTabSetFlat::TabWidth(int index) {
    int margins = 2 * Px(textMargin_);
    if (index < 0 || index >= static_cast<int>(items_.size())) return margins + 4;
    std::wstring caption = items_[static_cast<size_t>(index)];
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    Font font = GetFont();
    font.bold = true;
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, FontHandle(font, Dpi()));
    SIZE size{};
    BOOL measured = GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return measured ? size.cx + margins : margins + 4;
}

RECT TtevTabSetFlat::TabRect(int index) {
    RECT client;
    GetClientRect(Handle(), &client);
    int x = Px(StartMargin) + 1;
    int end = client.right - Px(EndMargin);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        int w = TabWidth(i);
        if (i == index) {
            RECT r{std::min(x, end), 0, std::min(x + w, end), client.bottom};
            return r;
        }
        x += w;
    }
    return {0, 0, 0, 0};
}

int TtevTabSetFlat::TabAt(int x, int y) {
    POINT pt{x, y};
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        RECT r = TabRect(i);
        if (PtInRect(&r, pt)) return i;
    }
    return -1;
}

int TtevTabSetFlat::VisibleTabs() {
    RECT client;
    GetClientRect(Handle(), &client);
    int count = 0, total = 0;
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        total += TabWidth(i);
        if (total >= client.right) break;
        ++count;
    }
    return count;
}

void TtevTabSetFlat::SelectNext() {
    if (items_.empty()) return;
    SetTabIndex(tabIndex_ + 1 >= static_cast<int>(items_.size()) ? 0 : tabIndex_ + 1);
}

void TtevTabSetFlat::SelectPrevious() {
    if (items_.empty()) return;
    SetTabIndex(tabIndex_ <= 0 ? static_cast<int>(items_.size()) - 1 : tabIndex_ - 1);
}

void TtevTabSetFlat::DrawTab(HDC dc, RECT r, bool selected, int index) {
    if (IsRectEmpty(&r)) return;
    bool top = style_ == tTevTabStyle::Gorny;
    if (top) r.top += Px(margin_);
    else r.bottom -= Px(margin_);

    Font font = GetFont();
    font.bold = selected;
    font.underline = Hover && Enabled() && index == hot_;
    Color background = selected ? (FrameStyle ? GetColor() : SelectedColor) : (FrameStyle ? UnselectedColor : GetColor());
    font.color = selected ? SelectedFontColor : UnselectedFontColor;

    if (!selected) {
        if (FrameStyle) OffsetRect(&r, 0, top ? 1 : -1);
        if (index > tabIndex_) r.right += 1;
        else r.left -= 1;
    } else if (FrameStyle) {
        if (top) r.bottom += 1;
        else r.top -= 1;
    }
    r.right -= 1;
    r.bottom = std::min<LONG>(r.bottom, r.top + Px(kMaxTabHeight));

    RECT inside = r;
    if (selected || FrameStyle) {
        Line(dc, r.left, r.bottom - 1, r.left, r.top, kBtnHighlight);
        Line(dc, r.left, r.top, r.right - 1, r.top, kBtnHighlight);
        Line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, clBtnShadow);
        Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, clBtnShadow);
        InflateRect(&inside, -1, -1);
    }
    FillRect(dc, &inside, BrushOf(background));
    if (selected) inside.bottom -= 1;

    HGDIOBJ old = SelectObject(dc, FontHandle(font, Dpi()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRgb(font.color));
    DrawTextW(dc, items_[static_cast<size_t>(index)].c_str(), -1, &inside, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
}

void TtevTabSetFlat::PaintBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, BrushOf(GetColor()));
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) DrawTab(dc, TabRect(i), i == tabIndex_, i);
    if (FrameStyle && tabIndex_ >= 0) {
        RECT current = TabRect(tabIndex_);
        bool top = style_ == tTevTabStyle::Gorny;
        int y = top ? client.bottom - 1 : client.top;
        // The base line stays open under the current tab.
        Line(dc, client.left, y, current.left, y, kBtnHighlight);
        Line(dc, current.right, y, client.right, y, kBtnHighlight);
        Line(dc, client.left, y + 1, current.left, y + 1, clBtnShadow);
        Line(dc, current.right, y + 1, client.right, y + 1, clBtnShadow);
    }
    if (DownLine) {
        RECT line{client.left, client.bottom - 1, client.right, client.bottom};
        FillRect(dc, &line, BrushOf(DownLineColor));
    }
}

void TtevTabSetFlat::SetHot(int tab) {
    if (tab == hot_) return;
    hot_ = tab;
    Invalidate();
}

void TtevTabSetFlat::MouseDown(MouseButton button, int x, int y) {
    int tab = TabAt(x, y);
    SetHot(tab);
    if (button == MouseButton::Left) {
        if (tab >= 0) SetTabIndex(tab);
        return;
    }
    WinControl::MouseDown(button, x, y);
}

void TtevTabSetFlat::MouseUp(MouseButton button, int x, int y) {
    SetHot(TabAt(x, y));
    // The tab changed on the press; the release adds no click of its own.
    if (button != MouseButton::Left) WinControl::MouseUp(button, x, y);
}

void TtevTabSetFlat::MouseMove(int x, int y) { SetHot(TabAt(x, y)); }

void TtevTabSetFlat::MouseLeave() {
    hot_ = -1;
    if (Enabled()) Invalidate();
}

LRESULT TtevTabSetFlat::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    }
    return WinControl::HandleMessage(msg, wp, lp);
}
