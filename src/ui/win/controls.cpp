#include "ui/win/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win/form.h"

// ------------------------------------------------------------------ Panel

Panel::Panel(WinControl* parent) : WinControl(parent) {
    SetParentColorSilently(false);
    CreateHandle(nullptr, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

void Panel::UseStandardColors() { SetColor(clBtnFace); }

void Panel::SetBevelOuter(Bevel b) {
    bevel_ = b;
    Realign();
}

RECT Panel::AlignRect() {
    RECT r = WinControl::AlignRect();
    if (bevel_ != Bevel::None) InflateRect(&r, -1, -1);
    return r;
}

void Panel::PaintBackground(HDC dc, const RECT& client) {
    WinControl::PaintBackground(dc, client);
    if (bevel_ != Bevel::None) {
        RECT r = client;
        DrawEdge(dc, &r, bevel_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
}

// ------------------------------------------------------------------ Label

Label::Label(WinControl* parent, const std::wstring& text) : Control(parent) {
    SetParentColorSilently(true);
    SetText(text);
}

void Label::SetAlignment(Alignment a) {
    alignment_ = a;
    Invalidate();
}

void Label::SetVerticalCenter(bool v) {
    verticalCenter_ = v;
    Invalidate();
}

void Label::SetWordWrap(bool v) {
    wordWrap_ = v;
    Invalidate();
}

void Label::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

void Label::SetEllipsis(Ellipsis e) {
    ellipsis_ = e;
    UpdateEllipsisHint();
    Invalidate();
}

UINT Label::Format() const {
    UINT f = DT_NOPREFIX;
    f |= alignment_ == Alignment::Center ? DT_CENTER : alignment_ == Alignment::Right ? DT_RIGHT : DT_LEFT;
    if (wordWrap_) f |= DT_WORDBREAK;
    else f |= DT_SINGLELINE | (verticalCenter_ ? DT_VCENTER : 0);
    if (!wordWrap_ && ellipsis_ == Ellipsis::End) f |= DT_END_ELLIPSIS;
    if (!wordWrap_ && ellipsis_ == Ellipsis::Path) f |= DT_PATH_ELLIPSIS;
    return f;
}

bool Label::Clipped() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(GetFont(), Dpi()));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, Text().c_str(), -1, &r, DT_NOPREFIX | DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r.right > Px(Width());
}

void Label::UpdateEllipsisHint() {
    if (ellipsis_ == Ellipsis::None) return;
    SetHint(Clipped() ? Text() : std::wstring());
}

void Label::TextChanged() {
    UpdateEllipsisHint();
    Control::TextChanged();
}

void Label::BoundsChanged() {
    UpdateEllipsisHint();
    Control::BoundsChanged();
}

void Label::AppearanceChanged() {
    UpdateEllipsisHint();
    Control::AppearanceChanged();
}

void Label::AdjustHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(GetFont(), Dpi()));
    RECT r{0, 0, Px(Width()), 0};
    DrawTextW(dc, Text().c_str(), -1, &r, Format() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetHeight(Units(r.bottom) + 1);
}

void Label::UseStandardColors() {
    if (transparent_ || ParentColor()) return;
    SetColor(clBtnShadow);
    EditFont().color = clWindow;
    FontChanged();
}

void Label::Paint(HDC dc, const RECT& r) {
    if (!transparent_) FillRect(dc, &r, BrushOf(GetColor()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRgb(Enabled() ? GetFont().color : clGrayText));
    HGDIOBJ old = SelectObject(dc, FontHandle(GetFont(), Dpi()));
    RECT t = r;
    DrawTextW(dc, Text().c_str(), -1, &t, Format());
    SelectObject(dc, old);
}

// ------------------------------------------------------------------ Image

Image::Image(WinControl* parent) : Control(parent) {}

Image::~Image() { Clear(); }

void Image::Clear() {
    if (icon_) DestroyIcon(icon_);
    if (bitmap_) DeleteObject(bitmap_);
    icon_ = nullptr;
    bitmap_ = nullptr;
}

void Image::SetIcon(HICON icon, int sizeUnits) {
    Clear();
    icon_ = icon;
    iconSize_ = sizeUnits;
    Invalidate();
}

void Image::SetBitmap(HBITMAP bitmap) {
    Clear();
    bitmap_ = bitmap;
    Invalidate();
}

void Image::SetCenter(bool v) {
    center_ = v;
    Invalidate();
}

void Image::SetStretch(bool v) {
    stretch_ = v;
    Invalidate();
}

void Image::Paint(HDC dc, const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (icon_) {
        int size = iconSize_ ? Px(iconSize_) : std::min(w, h);
        int x = center_ ? r.left + (w - size) / 2 : r.left;
        int y = center_ ? r.top + (h - size) / 2 : r.top;
        DrawIconEx(dc, x, y, icon_, size, size, 0, nullptr, DI_NORMAL);
    } else if (bitmap_) {
        BITMAP bm{};
        GetObjectW(bitmap_, sizeof(bm), &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bitmap_);
        if (stretch_) {
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, r.left, r.top, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        } else {
            int x = center_ ? r.left + (w - bm.bmWidth) / 2 : r.left;
            int y = center_ ? r.top + (h - bm.bmHeight) / 2 : r.top;
            BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        }
        SelectObject(mem, old);
        DeleteDC(mem);
    }
}

// ----------------------------------------------------------------- Button

Button::Button(WinControl* parent, const std::wstring& caption) : WinControl(parent) {
    SetTextSilently(caption);
    SetBoundsSilently({0, 0, 75, 25});
    CreateHandle(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON);
}

void Button::SetDefault(bool v) {
    if (Form* f = OwnerForm(this)) {
        if (v) f->SetDefaultButton(this);
        else if (f->DefaultButton() == this) f->SetDefaultButton(nullptr);
    }
    SendMessageW(Handle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::SetCancel(bool v) {
    if (Form* f = OwnerForm(this)) {
        if (v) f->SetCancelButton(this);
        else if (f->CancelButton() == this) f->SetCancelButton(nullptr);
    }
}

void Button::Click() {
    Control::Click();
    if (modalResult_ != 0)
        if (Form* f = OwnerForm(this)) f->SetModalResult(modalResult_);
}

void Button::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

bool Button::DialogChar(wchar_t ch) {
    const std::wstring& caption = Text();
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        if (CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[i + 1]))) !=
            CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch))))
            return false;
        Click();
        return true;
    }
    return false;
}

// ------------------------------------------------------------------- Edit

Edit::Edit(WinControl* parent, const std::wstring& text) : WinControl(parent) {
    SetTextSilently(text);
    SetColorSilently(clWindow);
    SetBoundsSilently({0, 0, 121, 21});
    CreateHandle(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
}

void Edit::SetPasswordChar(wchar_t c) {
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, c, 0);
    Invalidate();
}

void Edit::SetReadOnly(bool v) { SendMessageW(Handle(), EM_SETREADONLY, v, 0); }

void Edit::SetMaxLength(int n) { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(n), 0); }

void Edit::UseStandardColors() {
    SetColor(clWindow);
    EditFont().color = clWindowText;
    FontChanged();
}

void Edit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void Edit::Command(WORD code) {
    if (code != EN_CHANGE) return;
    int n = GetWindowTextLengthW(Handle());
    std::wstring t(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(Handle(), t.data(), n + 1);
    t.resize(static_cast<size_t>(n));
    SetTextSilently(t);
    if (OnChange) OnChange(this);
}

HBRUSH Edit::CtlColor(HDC dc) {
    SetBkColor(dc, ColorToRgb(GetColor()));
    SetTextColor(dc, ColorToRgb(GetFont().color));
    return BrushOf(GetColor());
}

// --------------------------------------------------------------- CheckBox

CheckBox::CheckBox(WinControl* parent, const std::wstring& caption, bool radio) : WinControl(parent) {
    SetTextSilently(caption);
    SetParentColorSilently(true);
    SetBoundsSilently({0, 0, 120, 17});
    CreateHandle(WC_BUTTONW, WS_TABSTOP | (radio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX));
}

bool CheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool v) { SendMessageW(Handle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0); }

void CheckBox::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

// ---------------------------------------------------------------- ListBox

ListBox::ListBox(WinControl* parent, DWORD extraStyle) : WinControl(parent) {
    SetColorSilently(clWindow);
    SetBoundsSilently({0, 0, 121, 97});
    CreateHandle(WC_LISTBOXW, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | extraStyle,
                 WS_EX_CLIENTEDGE);
}

void ListBox::UseStandardColors() { SetColor(clWindow); }

void ListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::Add(const std::wstring& item) {
    return static_cast<int>(SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

int ListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::wstring ListBox::Item(int index) const {
    LRESULT n = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) return {};
    std::wstring t(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.data()));
    t.resize(static_cast<size_t>(n));
    return t;
}

int ListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void ListBox::SetItemIndex(int index) { SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE) Click();
    else if (code == LBN_DBLCLK) DblClick();
}

HBRUSH ListBox::CtlColor(HDC dc) {
    SetBkColor(dc, ColorToRgb(GetColor()));
    SetTextColor(dc, ColorToRgb(GetFont().color));
    return BrushOf(GetColor());
}

// ------------------------------------------------------------ ProgressBar

ProgressBar::ProgressBar(WinControl* parent) : WinControl(parent) {
    SetBoundsSilently({0, 0, 150, 16});
    CreateHandle(PROGRESS_CLASSW, PBS_SMOOTH);
    SetRange(0, 100);
}

void ProgressBar::SetRange(int minimum, int maximum) {
    SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void ProgressBar::SetPosition(int position) { SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }

// -------------------------------------------------------------- ScrollBox

ScrollBox::ScrollBox(WinControl* parent) : WinControl(parent) {
    SetParentColorSilently(true);
    CreateHandle(nullptr, WS_CLIPCHILDREN | WS_VSCROLL, WS_EX_CONTROLPARENT);
}

void ScrollBox::UpdateScrollRange() {
    int bottom = 0;
    for (auto& c : Children())
        if (c->Visible()) bottom = std::max<int>(bottom, c->Bounds().bottom);
    RECT client;
    GetClientRect(Handle(), &client);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS};
    si.nMin = 0;
    si.nMax = Px(bottom + BorderWidth());
    si.nPage = static_cast<UINT>(client.bottom + 1);
    int maxPos = std::max(0, si.nMax - static_cast<int>(si.nPage) + 1);
    si.nPos = std::min(Px(ScrollOffset()), maxPos);
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    SetScrollOffset(Units(si.nPos));
}

void ScrollBox::ScrollTo(int units) {
    SetScrollPos(Handle(), SB_VERT, Px(units), TRUE);
    SetScrollOffset(Units(GetScrollPos(Handle(), SB_VERT)));
}

LRESULT ScrollBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: {
        LRESULT r = WinControl::HandleMessage(msg, wp, lp);
        UpdateScrollRange();
        return r;
    }
    case WM_VSCROLL: {
        SCROLLINFO si{sizeof(si), SIF_ALL};
        GetScrollInfo(Handle(), SB_VERT, &si);
        int pos = si.nPos, line = Px(16);
        switch (LOWORD(wp)) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = si.nTrackPos; break;
        case SB_TOP: pos = si.nMin; break;
        case SB_BOTTOM: pos = si.nMax; break;
        }
        pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1));
        ScrollTo(Units(pos));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        int delta = GET_WHEEL_DELTA_WPARAM(wp);
        ScrollTo(ScrollOffset() - delta * 48 / WHEEL_DELTA);
        return 0;
    }
    }
    return WinControl::HandleMessage(msg, wp, lp);
}

// --------------------------------------------------------------- Notebook

Notebook::Notebook(WinControl* parent) : WinControl(parent) {
    SetParentColorSilently(true);
    CreateHandle(nullptr, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

Panel* Notebook::AddPage(const std::wstring& name) {
    Panel* page = Add<Panel>();
    page->SetParentColor(true);
    page->SetText(name);
    page->SetVisible(pages_.empty());
    page->SetAlign(Align::Client);
    pages_.push_back(page);
    if (pageIndex_ < 0) pageIndex_ = 0;
    return page;
}

void Notebook::SetPageIndex(int index) {
    if (index < 0 || index >= PageCount() || index == pageIndex_) return;
    pageIndex_ = index;
    for (int i = 0; i < PageCount(); ++i) pages_[static_cast<size_t>(i)]->SetVisible(i == index);
    if (OnPageChanged) OnPageChanged(this);
}
