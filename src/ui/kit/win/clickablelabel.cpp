#include "ui/kit/win/clickablelabel.h"

#include <cwctype>

#include "ui/kit/win/kitcolor.h"
#include "ui/kit/win/markup_draw.h"
#include "ui/kit/win/scrollranges.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/helpcontext.h"
#include "ui/win/menu.h"
#include "util/failure.h"

namespace {

constexpr Color kDisabledText = Rgb(128, 128, 128);

std::wstring ShortHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

std::wstring LongHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}

// The letter after a single "&", or 0.
wchar_t AcceleratorOf(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return caption[i + 1];
        ++i;
    }
    return 0;
}

bool IsOpenPanel(const TtevPanel* panel) { return panel->Height() > 5 && panel->Enabled() && panel->Visible(); }

// The handler DropDown gives to menu items that have none; the item is found
// again by its serial, as the menu's items may have moved since.
struct LabelItemHandler {
    TtevClickableLabel* label;
    PopupMenu* menu;
    unsigned serial;
    void operator()() const {
        if (MenuItem* item = menu->FindSerial(serial)) label->MenuItemClick(*item);
    }
};

void ForEachItem(std::vector<MenuItem>& items, const std::function<void(MenuItem&)>& f) {
    for (MenuItem& item : items) {
        f(item);
        ForEachItem(item.items, f);
    }
}

void Triangle(HDC dc, POINT a, POINT b, POINT c, Color color) {
    POINT points[3] = {a, b, c};
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, BrushOf(color));
    Polygon(dc, points, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

}  // namespace

TtevClickableLabel::TtevClickableLabel(WinControl* parent, const std::wstring& caption) : Label(parent, caption) {
    SetTransparent(false);
}

TtevClickableLabel::~TtevClickableLabel() { SetDropDownMenu(nullptr); }

void TtevClickableLabel::SetDropDownMenu(PopupMenu* menu) {
    if (menu == dropDownMenu_) return;
    if (dropDownMenu_) {
        ReleaseMenuItems();
        dropDownMenu_->Unwatch(this);
    }
    dropDownMenu_ = menu;
    if (menu) {
        menu->Watch(this, [this] {
            dropDownMenu_ = nullptr;
            Invalidate();
        });
    }
    Invalidate();
}

void TtevClickableLabel::ReleaseMenuItems() {
    ForEachItem(dropDownMenu_->Items(), [this](MenuItem& item) {
        auto* handler = item.onClick.target<LabelItemHandler>();
        if (handler && handler->label == this) item.onClick = nullptr;
    });
}

std::wstring TtevClickableLabel::AccessibleText() const {
    if (htmlAware_) return MarkupPlainText(Text());
    std::wstring caption = Text();
    if (std::wstring shortPart = ShortHint(caption), longPart = LongHint(caption); shortPart != longPart)
        caption = shortPart + L" " + longPart;
    if (!ShowAccelChar) return caption;
    std::wstring text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        text += caption[i];
    }
    return text;
}

AccessibleRole TtevClickableLabel::Role() const {
    if (dropDownMenu_) return AccessibleRole::ButtonMenu;
    bool acts = OnClick || dynamic_cast<TtevPanel*>(FocusControl);
    if (!acts) return Text().empty() ? AccessibleRole::None : AccessibleRole::StaticText;
    return (Hover || DotLeft) && !Border ? AccessibleRole::Link : AccessibleRole::Button;
}

void TtevClickableLabel::Paint(HDC dc, const RECT& client) {
    RECT r = client;
    if (Parent()) FillRect(dc, &r, BrushOf(Parent()->GetColor()));
    InflateRect(&r, -Px(innerBorder_), -Px(innerBorder_));
    if (Border) {
        FrameRect(dc, &r, BrushOf(clBlack));
        InflateRect(&r, -1, -1);
    }
    Color color = GetColor();
    Color face = color;
    if (Hover || DotLeft) face = hot_ ? LighterColor(color) : color;
    else face = pressed_ ? DarkerColor(color) : hot_ ? LighterColor(color) : color;
    FillRect(dc, &r, BrushOf(face));

    Font font = GetFont();
    int rr = r.right, mid = (r.top + r.bottom) / 2;
    auto* panel = dynamic_cast<TtevPanel*>(FocusControl);
    if (dropDownMenu_ || panel) {
        auto P = [&](int dx, int dy) { return POINT{rr - Px(dx), mid + Px(dy)}; };
        if (panel && IsOpenPanel(panel)) Triangle(dc, P(12, 3), P(2, 3), P(7, -2), font.color);
        else if (panel) Triangle(dc, P(11, -1), P(3, -1), P(7, 3), font.color);
        else if (DropArrowRight) Triangle(dc, P(7, -5), P(7, 5), P(2, 0), font.color);
        else Triangle(dc, P(13, -1), P(5, -1), P(9, 3), font.color);
    }

    if ((Hover || DotLeft) && Enabled() && hot_) font.underline = true;
    if (!Enabled()) font.color = kDisabledText;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRgb(font.color));

    if (htmlAware_) {
        MarkupPaint paint;
        paint.font = font;
        paint.dpi = Dpi();
        paint.linkColor = font.color;
        std::wstring markup = htmlCenterText_ ? L"<p align=\"alCenter\">" + Text() : Text();
        DrawMarkup(dc, markup, r, paint);
    } else {
        DrawCaption(dc, r, font);
    }

    if (DownLine && !Border) {
        RECT line{client.left, client.bottom - 1, client.right, client.bottom};
        FillRect(dc, &line, BrushOf(font.color));
    }
    if (KeyFocused()) {
        RECT mark = client;
        InflateRect(&mark, -Px(innerBorder_), -Px(innerBorder_));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &mark);
    }
    UpdateScrollRanges(this);
}

void TtevClickableLabel::DrawCaption(HDC dc, RECT& r, const Font& font) {
    if (Border) InflateRect(&r, -Px(4), 0);
    if (DotLeft) r.left += Px(16);
    if (ArrowRight || ArrowRightDouble) r.right -= Px(16);

    std::wstring suffix;
    if (DropArrowRight && ArrowRightDouble) suffix = L"\u2026  \u00BB";
    else if (DropArrowRight && ArrowRight) suffix = L"\u2026  \u203A";
    UINT prefix = ShowAccelChar ? 0 : DT_NOPREFIX;
    UINT align = GetAlignment() == Alignment::Center ? DT_CENTER : GetAlignment() == Alignment::Right ? DT_RIGHT : DT_LEFT;

    const std::wstring& caption = Text();
    std::wstring shortPart = ShortHint(caption), longPart = LongHint(caption);
    HGDIOBJ old = SelectObject(dc, FontHandle(font, Dpi()));
    RECT measured = r;
    if (shortPart != longPart) {
        std::wstring text = longPart + suffix + (dropDownMenu_ ? L"      " : L"");
        Font plain = font;
        plain.bold = false;
        SelectObject(dc, FontHandle(plain, Dpi()));
        RECT t = r;
        DrawTextW(dc, text.c_str(), -1, &t, DT_SINGLELINE | DT_RIGHT | DT_NOCLIP | prefix);
        SelectObject(dc, FontHandle(font, Dpi()));
        t = r;
        DrawTextW(dc, shortPart.c_str(), -1, &t, DT_SINGLELINE | DT_LEFT | DT_NOCLIP | prefix);
        DrawTextW(dc, shortPart.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT | prefix);
    } else {
        std::wstring text = caption + suffix;
        UINT lines = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
        RECT t = r;
        DrawTextW(dc, text.c_str(), -1, &t, lines | align | DT_NOCLIP | prefix);
        DrawTextW(dc, text.c_str(), -1, &measured, lines | DT_CALCRECT | prefix);
    }

    // The label's natural height follows its text.
    int natural = Units(measured.bottom - measured.top) + (Border ? 4 : 0);
    if (AutoSize && (GetAlign() == Align::Top || GetAlign() == Align::Bottom) && natural != Height()) {
        SetHeight(natural);
        if (auto* panel = dynamic_cast<TtevPanel*>(Parent());
            panel && (panel->GetAlign() == Align::Top || panel->GetAlign() == Align::Bottom))
            panel->AdjustHeight();
    }

    Font plainFont = font;
    plainFont.underline = false;
    SelectObject(dc, FontHandle(plainFont, Dpi()));
    if (DotLeft) TextOutW(dc, r.left - Px(10), r.top, L"\u00B7", 1);
    if ((ArrowRight || ArrowRightDouble) && !DropArrowRight) {
        UINT oldAlign = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        TextOutW(dc, r.right + Px(9), r.top, ArrowRightDouble ? L"\u00BB" : L"\u203A", 1);
        SetTextAlign(dc, oldAlign);
    }
    SelectObject(dc, old);
}

void TtevClickableLabel::DoClick() {
    if (dropDownMenu_) DropDown();
    else if (OnClick) OnClick(this);
    Invalidate();
}

void TtevClickableLabel::TogglePanel() {
    auto* panel = dynamic_cast<TtevPanel*>(FocusControl);
    if (!panel) return;
    if (IsOpenPanel(panel)) {
        panel->Tag = panel->Height();
        panel->SetHeight(1);
        panel->SetParentColor(true);
    } else {
        panel->SetHeight(panel->Tag);
        // A collapsed panel took its parent's colour: open, it is a shade lighter.
        panel->SetColor(LighterColor(panel->GetColor()));
    }
    UpdateScrollRanges(panel);
    Invalidate();
}

void TtevClickableLabel::DropDown() {
    if (!dropDownMenu_ || !Parent()) return;
    RECT b = PixelBounds();
    POINT at{b.left + Px(2), b.bottom + Px(2)};
    ClientToScreen(Parent()->Handle(), &at);
    // Items without a handler of their own act through MenuItemClick: those
    // of the first level that open no submenu, and those of the second.
    auto give = [this](MenuItem& item) {
        if (!item.onClick && item.caption != L"-") item.onClick = LabelItemHandler{this, dropDownMenu_, item.serial};
    };
    for (MenuItem& item : dropDownMenu_->Items()) {
        if (item.items.empty()) give(item);
        for (MenuItem& inner : item.items) give(inner);
    }
    pressed_ = false;
    dropDownMenu_->Popup(at.x, at.y);
    Invalidate();
}

void TtevClickableLabel::MenuItemClick(const MenuItem& item) {
    if (!item.items.empty()) return;
    if (ActAsComboToEdit && FocusControl && FocusControl->IsWindowed()) {
        FocusControl->SetText(item.hint.empty() ? item.caption : item.hint);
        return;
    }
    if (!item.hint.empty()) throw Failure(ShortHint(item.hint) + L"\r\n" + LongHint(item.hint));
    if (item.tag != 0) ShowHelpPopup(item.tag);
}

bool TtevClickableLabel::DialogChar(wchar_t ch) {
    if (!Enabled() || !ShowAccelChar || htmlAware_) return false;
    wchar_t letter = AcceleratorOf(Text());
    if (!letter || towupper(letter) != towupper(ch)) return false;
    DoClick();
    return true;
}

bool TtevClickableLabel::TabStop() const {
    return Enabled() && (dropDownMenu_ || OnClick || dynamic_cast<TtevPanel*>(FocusControl));
}

bool TtevClickableLabel::KeyPress(WPARAM key) {
    if (!Enabled()) return false;
    if (key == VK_RETURN || key == VK_SPACE) {
        // What a click does, in the same order: the release, then the act.
        ClickNotification();
        DoClick();
        return true;
    }
    if (key == VK_APPS && dropDownMenu_) {
        DropDown();
        return true;
    }
    return false;
}

void TtevClickableLabel::ClickNotification() {
    pressed_ = false;
    TogglePanel();
}

void TtevClickableLabel::MouseDown(MouseButton button, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, x, y);
    hot_ = true;
    pressed_ = true;
    Invalidate();
    // A menu opens on the press.
    if (dropDownMenu_) DoClick();
}

void TtevClickableLabel::MouseUp(MouseButton button, int x, int y) {
    if (button == MouseButton::Left && HitTest(x, y) && Enabled()) ClickNotification();
    if (OnMouseUp) OnMouseUp(this, button, x, y);
    hot_ = true;
    pressed_ = false;
    Invalidate();
    // Without a menu the label acts on the release, wherever it happens.
    if (!dropDownMenu_) DoClick();
}

void TtevClickableLabel::MouseMove(int x, int y) {
    if (OnMouseMove) OnMouseMove(this, x, y);
    if (!hot_ && HitTest(x, y)) {
        hot_ = true;
        Invalidate();
    }
}

void TtevClickableLabel::MouseEnter() {
    if (!Enabled()) return;
    hot_ = true;
    Invalidate();
}

void TtevClickableLabel::MouseLeave() {
    if (!Enabled()) return;
    hot_ = false;
    Invalidate();
}

// ---------------------------------------------------------------- info label

TTevInfoLabel::TTevInfoLabel(WinControl* parent) : TtevClickableLabel(parent, L"?") {
    SetBounds(Left(), Top(), 17, 15);
    SetAlignment(Alignment::Center);
    AutoSize = false;
    SetColor(15919841);  // RGB 225, 234, 242
    Border = true;
    Hover = true;
    HoverUnderline = true;
    HoverFontColor = clBlack;
}

void TTevInfoLabel::ClickNotification() {
    pressed_ = false;
    if (!infoText_.empty()) {
        std::wstring message = L"*";
        for (size_t i = 0; i < infoText_.size(); ++i) message += (i ? L"\r\n" : L"") + infoText_[i];
        throw Failure(message);
    }
    if (!OnClick) throw Failure(std::wstring(L"Pomoc nie jest dostępna.\r\nŚciągnij aktualizację z ") + kMakerSite);
}
