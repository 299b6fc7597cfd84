#include "ui/kit/win/colorbutton.h"

#include <array>

#include "ui/kit/markup.h"
#include "ui/kit/win/kitcolor.h"
#include "ui/kit/win/markup_draw.h"
#include "ui/win/form.h"
#include "ui/win/helpcontext.h"

namespace {

struct KindRow {
    const wchar_t* caption;
    int result;
    bool isDefault;
    bool isCancel;
};

const KindRow& RowOf(TtevButtonKind kind) {
    static const std::array<KindRow, 11> kRows{{
        {nullptr, 0, false, false},
        {L"OK", 1, true, false},
        {L"Anuluj", 2, false, true},
        {L"Pomo&c", 0, false, false},
        {L"&Tak", 6, true, false},
        {L"&Nie", 7, false, true},
        {L"&Zamknij", 0, false, false},
        {L"&Przerwij", 3, false, false},
        {L"Powtó&rz", 4, false, false},
        {L"&Ignoruj", 5, false, false},
        {L"&Wszystkie", 8, false, false},
    }};
    return kRows[static_cast<size_t>(kind)];
}

// "\n" written as two characters: a space on one line, a line break otherwise.
std::wstring ReplaceBackslashN(const std::wstring& text, const std::wstring& with) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && (text[i + 1] == L'n' || text[i + 1] == L'N')) {
            out += with;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Outline(HDC dc, const RECT& r) { FrameRect(dc, &r, BrushOf(clBlack)); }

}  // namespace

TtevCustomColorButton::TtevCustomColorButton(WinControl* parent, const std::wstring& caption) : Button(parent, caption) {
    SetWindowLongPtrW(Handle(), GWL_STYLE, (GetWindowLongPtrW(Handle(), GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    SetWindowTextW(Handle(), MarkupPlainText(caption).c_str());
}

void TtevCustomColorButton::SetDefault(bool v) {
    default_ = v;
    Button::SetDefault(v);
    Invalidate();
}

void TtevCustomColorButton::SetCancel(bool v) {
    cancel_ = v;
    Button::SetCancel(v);
}

void TtevCustomColorButton::TextChanged() {
    // The window text is what a screen reader reads: no markup.
    if (Handle()) SetWindowTextW(Handle(), (htmlAware_ ? MarkupPlainText(Text()) : Text()).c_str());
    Invalidate();
}

bool TtevCustomColorButton::ShownAsDefault() const {
    if (Focused()) return true;
    if (!default_) return false;
    // The default button looks default unless another button has the focus.
    auto* focused = dynamic_cast<Button*>(WinControl::FromHandle(GetFocus()));
    return focused == nullptr;
}

void TtevCustomColorButton::DrawButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    bool asDefault = focused || ShownAsDefault();
    if (!ParentColor() && Parent()) FillRect(dc, &r, BrushOf(Parent()->GetColor()));
    InflateRect(&r, -Px(innerBorder_), -Px(innerBorder_));
    RECT textRect = r;
    if (Visible()) {
        Outline(dc, r);
        if (asDefault && !boldWhenDefault_) {
            InflateRect(&r, -1, -1);
            Outline(dc, r);
        }
    }
    Color color = GetColor();
    Color face;
    if (ColorToRgb(color) == RGB(255, 255, 255)) face = pressed ? DarkerColor(DarkerColor(color)) : hot_ ? DarkerColor(color) : clWhite;
    else face = pressed ? DarkerColor(color) : hot_ ? LighterColor(color) : color;
    InflateRect(&r, -1, -1);
    FillRect(dc, &r, BrushOf(face));

    Font font = GetFont();
    font.bold = boldWhenDefault_ && (focused || default_);
    if (!Enabled()) font.color = Rgb(128, 128, 128);
    std::wstring text = ReplaceBackslashN(Text(), singleLine_ ? L" " : L"\r\n");
    InflateRect(&textRect, -4, -4);
    SetBkMode(dc, TRANSPARENT);
    if (htmlAware_) {
        MarkupPaint paint;
        paint.font = font;
        paint.dpi = Dpi();
        paint.linkColor = font.color;
        DrawMarkup(dc, htmlCenterText_ ? L"<p align=\"alCenter\">" + text : text, textRect, paint);
    } else {
        HGDIOBJ old = SelectObject(dc, FontHandle(font, Dpi()));
        SetTextColor(dc, ColorToRgb(font.color));
        RECT t = textRect;
        // One centred line, or word-wrapped from the top.
        UINT format = DT_CENTER | DT_NOCLIP | (singleLine_ ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK);
        DrawTextW(dc, text.c_str(), -1, &t, format);
        SelectObject(dc, old);
    }
    if (focused) {
        RECT f = textRect;
        InflateRect(&f, 2, 2);
        SetTextColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &f);
    }
}

void TtevCustomColorButton::Click() {
    if (kind_ == TtevButtonKind::bkHelp && HelpContextOf(this) != 0) {
        ShowHelpContext(HelpContextOf(this));
    } else if (Form* form = OwnerForm(this); kind_ == TtevButtonKind::bkClose && form) {
        form->Close();
    } else {
        PlainClick();
    }
    hot_ = true;
    Invalidate();
}

LRESULT TtevCustomColorButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case BM_SETSTYLE:
        // The dialog manager marks default buttons this way; stay owner-drawn.
        wp = (wp & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
        break;
    case WM_LBUTTONDBLCLK:
        // Quick clicks each press the button.
        msg = WM_LBUTTONDOWN;
        hot_ = true;
        Invalidate();
        break;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            tracking_ = TrackMouseEvent(&tme);
            if (Enabled() && !hot_) {
                hot_ = true;
                Invalidate();
                if (OnMouseEnter) OnMouseEnter(this);
            }
        }
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (Enabled()) {
            hot_ = false;
            Invalidate();
        }
        if (OnMouseLeave) OnMouseLeave(this);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        Invalidate();
        break;
    }
    return Button::HandleMessage(msg, wp, lp);
}

// ------------------------------------------------------------ TtevColorButton

TtevColorButton::TtevColorButton(WinControl* parent, const std::wstring& caption)
    : TtevCustomColorButton(parent, caption) {}

TtevColorButton::TtevColorButton(WinControl* parent, TtevButtonKind kind) : TtevCustomColorButton(parent) {
    SetKind(kind);
}

TtevButtonKind TtevColorButton::Kind() {
    if (kind_ != TtevButtonKind::bkCustom) {
        const KindRow& row = RowOf(kind_);
        if (IsDefault() != row.isDefault || IsCancel() != row.isCancel || ModalResult() != row.result)
            kind_ = TtevButtonKind::bkCustom;
    }
    return kind_;
}

void TtevColorButton::SetKind(TtevButtonKind kind) {
    if (kind != TtevButtonKind::bkCustom) {
        const KindRow& row = RowOf(kind);
        SetDefault(row.isDefault);
        SetCancel(row.isCancel);
        SetText(row.caption);
        SetModalResult(row.result);
    }
    kind_ = kind;
    Invalidate();
}
