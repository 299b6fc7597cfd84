#include "ui/kit/win/htmlistbox.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "ui/kit/itemlines.h"
#include "ui/kit/markup.h"
#include "util/failure.h"
#include "util/textcase.h"

// ---------------------------------------------------------------- THTMListbox

THTMListbox::THTMListbox(WinControl* parent, DWORD extraStyle)
    // The horizontal scroll bar shows only while the extent is wider than
    // the list, that is with ScrollHorizontal and a wide item.
    : ListBox(parent, LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | WS_HSCROLL | extraStyle) {
    measuredFont_ = GetFont();
    measuredDpi_ = Dpi();
    blinkTimer_.OnTimer = [this] { Blink(); };
}

THTMListbox::~THTMListbox() {
    if (measureDc_) DeleteDC(measureDc_);
}

HDC THTMListbox::MeasureDC() {
    if (!measureDc_) measureDc_ = CreateCompatibleDC(nullptr);
    return measureDc_;
}

int THTMListbox::Add(const std::wstring& markup) {
    int index = Count();
    if (Sorted) {
        auto at = std::upper_bound(items_.begin(), items_.end(), markup, [](const std::wstring& a, const std::wstring& b) {
            return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
        });
        index = static_cast<int>(at - items_.begin());
    }
    Insert(index, markup);
    return index;
}

void THTMListbox::Insert(int index, const std::wstring& markup) {
    index = std::clamp(index, 0, Count());
    // The markup and its natural size are in place before the list box asks
    // for the item's height.
    items_.insert(items_.begin() + index, markup);
    heights_.Insert(index, LayOut(index, ItemHeights::kUnlimited));
    ItemInserted(index);
    // The height the list box is about to ask for: kept per width, asking
    // twice costs nothing.
    MEASUREITEMSTRUCT m{ODT_LISTBOX, 0, static_cast<UINT>(index)};
    MeasureItem(&m);
    shown_.insert(shown_.begin() + index, static_cast<int>(m.itemHeight));
    std::wstring plain = MarkupPlainText(markup);
    ChangeItems([&] {
        SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(plain.c_str()));
    });
    UpdateHorizontalExtent();
}

void THTMListbox::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    ChangeItems([&] {
        SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        items_.erase(items_.begin() + index);
        heights_.Erase(index);
        shown_.erase(shown_.begin() + index);
        ItemDeleted(index);
    });
    UpdateHorizontalExtent();
}

void THTMListbox::Clear() {
    while (Count() > 0) {
        items_.pop_back();
        ItemDeleted(Count());
    }
    heights_.Clear();
    shown_.clear();
    ListBox::Clear();
    UpdateHorizontalExtent();
}

void THTMListbox::ChangeItems(const std::function<void()>& change) {
    // The list box may resize itself in the middle of it (its scroll bar
    // comes or goes) while it and the items disagree: heights wait.
    ++changing_;
    change();
    --changing_;
    if (changing_ == 0 && resizedMeanwhile_) {
        resizedMeanwhile_ = false;
        ApplyHeights(false);
    }
}

const std::wstring& THTMListbox::Item(int index) const {
    if (index < 0 || index >= Count()) throw Failure(L"Item index out of range");
    return items_[static_cast<size_t>(index)];
}

void THTMListbox::SetMultiline(bool v) {
    if (v == multiline_) return;
    multiline_ = v;
    ApplyHeights(true);
}

void THTMListbox::SetFramed(bool v) {
    if (v == framed_) return;
    framed_ = v;
    LONG_PTR ex = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, v ? ex | WS_EX_CLIENTEDGE : ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    // The client area grows or shrinks by the frame: the items follow (WM_SIZE).
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::wstring THTMListbox::LayoutText(int index) const {
    const std::wstring& markup = items_[static_cast<size_t>(index)];
    return multiline_ ? LineEndsAsBreaks(markup) : markup;
}

MarkupPaint THTMListbox::BasePaint() const {
    MarkupPaint paint;
    paint.font = GetFont();
    paint.dpi = Dpi();
    paint.linkColor = URLColor;
    paint.images = Images;
    paint.shadowColor = ShadowColor;
    paint.shadowOffset = ShadowOffset;
    return paint;
}

ItemExtent THTMListbox::LayOut(int index, int width) {
    MarkupPaint paint = BasePaint();
    paint.extents = &extents_;
    SIZE used = MeasureMarkup(MeasureDC(), LayoutText(index), {0, 0, width, 4096}, paint);
    return {used.cx, used.cy};
}

int THTMListbox::LayoutWidth() const {
    if (scrollHorizontal_) return ItemHeights::kUnlimited;
    RECT client;
    GetClientRect(Handle(), &client);
    RECT area = MarkupRect({0, 0, client.right, 0});
    return std::max<int>(0, area.right - area.left);
}

void THTMListbox::MeasureItem(MEASUREITEMSTRUCT* item) {
    if (item->itemID >= items_.size()) return;
    int height = heights_.HeightAt(static_cast<int>(item->itemID), LayoutWidth(),
                                   [this](int index, int width) { return LayOut(index, width); });
    // The list box keeps an item's height in a byte.
    item->itemHeight = static_cast<UINT>(std::clamp(height + ExtraHeight(), 1, 255));
}

void THTMListbox::ApplyHeights(bool everything) {
    int width = LayoutWidth();
    if (!everything && width == appliedWidth_) return;
    appliedWidth_ = width;
    if (everything) {
        extents_.Clear();  // the font or the DPI changed
        heights_.Clear();
        for (int i = 0; i < Count(); ++i) heights_.Insert(i, LayOut(i, ItemHeights::kUnlimited));
        measuredFont_ = GetFont();
        measuredDpi_ = Dpi();
    }
    bool changed = everything;
    // Every height told to a list box that draws itself makes it update its
    // scroll bar and look for the items to repaint: thousands of them, one
    // at a time, take minutes. Told all at once they take nothing.
    bool quiet = !redrawOff_;
    if (quiet) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < Count(); ++i) {
        MEASUREITEMSTRUCT m{ODT_LISTBOX, 0, static_cast<UINT>(i)};
        MeasureItem(&m);
        int& shown = shown_[static_cast<size_t>(i)];
        if (shown != static_cast<int>(m.itemHeight)) {
            shown = static_cast<int>(m.itemHeight);
            SendMessageW(Handle(), LB_SETITEMHEIGHT, static_cast<WPARAM>(i), m.itemHeight);
            changed = true;
        }
    }
    if (quiet) SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    if (everything) UpdateHorizontalExtent();
    if (changed) InvalidateRect(Handle(), nullptr, TRUE);
}

void THTMListbox::AppearanceChanged() {
    ListBox::AppearanceChanged();
    // A new font or monitor changes every item's size, and every word's.
    if (!(GetFont() == measuredFont_) || Dpi() != measuredDpi_) {
        extents_.Clear();
        if (Count() > 0) ApplyHeights(true);
    }
}

void THTMListbox::SetScrollHorizontal(bool v) {
    if (v == scrollHorizontal_) return;
    scrollHorizontal_ = v;
    ApplyHeights(false);
    if (!v) SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
    UpdateHorizontalExtent();
}

void THTMListbox::UpdateHorizontalExtent() {
    if (!scrollHorizontal_) return;
    RECT client;
    GetClientRect(Handle(), &client);
    RECT area = MarkupRect({0, 0, 0, 0});
    int widest = heights_.Widest() + area.left;
    // No scroll bar when everything fits.
    int extent = widest + 6 > client.right ? widest + 6 : 0;
    SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

bool THTMListbox::VisibleItemRect(int index, RECT& rect) const {
    int top = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
    if (index < top || index >= Count()) return false;
    RECT client;
    GetClientRect(Handle(), &client);
    int y = 0;
    for (int i = top; i < index && y < client.bottom; ++i) y += shown_[static_cast<size_t>(i)];
    if (y >= client.bottom) return false;
    rect = {0, y, client.right, y + shown_[static_cast<size_t>(index)]};
    return true;
}

void THTMListbox::DrawItemMarkup(HDC dc, int index, const RECT& rect, const MarkupPaint& paint, Color background) {
    MarkupLayout layout = LayoutMarkupOn(dc, LayoutText(index), rect, paint);
    if (!blinkPhase_) {
        DrawMarkupLayout(dc, layout, rect, paint);
        return;
    }
    // Blinking words are drawn apart, in the blink colour whatever their
    // own colour, their link's or the selection's.
    MarkupLayout blinking;
    auto blinks = [](const MarkupItem& item) { return item.kind == MarkupItem::Kind::Text && item.style.blink; };
    for (const MarkupItem& item : layout.items)
        if (blinks(item)) blinking.items.push_back(item);
    std::erase_if(layout.items, blinks);
    DrawMarkupLayout(dc, layout, rect, paint);
    MarkupPaint blink = paint;
    blink.selected = false;
    blink.hoverAnchor = -1;
    blink.font.color = blink.linkColor = BlinkColor == clNone ? background : BlinkColor;
    for (MarkupItem& item : blinking.items) {
        item.style.color = blink.font.color;
        item.style.shadow = false;
    }
    DrawMarkupLayout(dc, blinking, rect, blink);
}

void THTMListbox::SetEnableBlink(bool v) {
    blinkTimer_.SetEnabled(v);
    if (!v && blinkPhase_) {
        blinkPhase_ = false;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void THTMListbox::Blink() {
    blinkPhase_ = !blinkPhase_;
    // Only the items that blink are drawn again.
    RECT client;
    GetClientRect(Handle(), &client);
    int y = 0;
    for (int i = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); i < Count() && y < client.bottom; ++i) {
        RECT r{0, y, client.right, y + shown_[static_cast<size_t>(i)]};
        if (ContainsNoCase(L"<blink", items_[static_cast<size_t>(i)])) InvalidateRect(Handle(), &r, FALSE);
        y = r.bottom;
    }
}

std::pair<std::wstring, int> THTMListbox::AnchorAtItemPoint(int x, int y) {
    if (x < 0 || y < 0) return {{}, -1};
    LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    int index = LOWORD(hit);
    if (HIWORD(hit) != 0 || index >= Count()) return {{}, -1};
    RECT itemRect;
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&itemRect));
    return {AnchorAtPoint(MeasureDC(), LayoutText(index), MarkupRect(itemRect), {x, y}, BasePaint()), index};
}

void THTMListbox::TrackAnchor(int x, int y) {
    std::pair<std::wstring, int> now = x < 0 ? std::pair<std::wstring, int>{{}, -1} : AnchorAtItemPoint(x, y);
    if (now.first.empty() || !LinksActive(now.second)) now = {{}, -1};
    if (now == hotAnchor_) return;
    std::pair<std::wstring, int> before = std::exchange(hotAnchor_, now);
    if (before.second >= 0 && OnAnchorExit) OnAnchorExit(this, before.second, before.first);
    if (AnchorHint) {
        if (before.second < 0) ownHint_ = Hint();
        SetHint(now.second >= 0 ? now.first : ownHint_);
    }
    if (now.second >= 0 && OnAnchorEnter) OnAnchorEnter(this, now.second, now.first);
}

LRESULT THTMListbox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEMOVE) {
        TrackAnchor(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&tme);
    }
    if (msg == WM_MOUSELEAVE) TrackAnchor(-1, -1);
    if (msg == WM_LBUTTONDOWN) {
        auto [href, index] = AnchorAtItemPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        if (!href.empty() && LinksActive(index)) {
            // The selection follows the click; then the link acts.
            LRESULT result = ListBox::HandleMessage(msg, wp, lp);
            ActivateAnchor(href, [this, index = index](const std::wstring& anchor) {
                if (OnAnchorClick) OnAnchorClick(this, index, anchor);
            });
            return result;
        }
    }
    if (msg == WM_SETCURSOR && LOWORD(lp) == HTCLIENT) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(Handle(), &at);
        auto [href, index] = AnchorAtItemPoint(at.x, at.y);
        if (!href.empty() && LinksActive(index)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
    }
    if (msg == WM_SETREDRAW) {
        redrawOff_ = wp == FALSE;
        LRESULT result = ListBox::HandleMessage(msg, wp, lp);
        if (!redrawOff_ && std::exchange(repaintWhenRedrawn_, false)) InvalidateRect(Handle(), nullptr, FALSE);
        return result;
    }
    if (msg == WM_SIZE) {
        // Heights depend on the width only: a change of height alone (a
        // list fitting itself to its items) measures nothing.
        LRESULT result = ListBox::HandleMessage(msg, wp, lp);
        if (changing_ > 0) resizedMeanwhile_ = true;
        else ApplyHeights(false);
        return result;
    }
    return ListBox::HandleMessage(msg, wp, lp);
}

// -------------------------------------------------------------- TtevHTMListbox

TtevHTMListbox::TtevHTMListbox(WinControl* parent, DWORD extraStyle) : THTMListbox(parent, extraStyle) {}

void TtevHTMListbox::SetSelectionInvisible(bool v) {
    selectionInvisible_ = v;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TtevHTMListbox::DrawItem(DRAWITEMSTRUCT* item) {
    if (item->itemID >= static_cast<UINT>(Count())) return;
    bool selected = (item->itemState & ODS_SELECTED) && !selectionInvisible_;
    MarkupPaint paint = BasePaint();
    Color background = GetColor();
    if (selected) {
        background = SelectionColor;
        paint.font.color = SelectionFontColor;
        paint.linkColor = SelectionFontColor;
        paint.selected = true;
        paint.selectionFontColor = SelectionFontColor;
    }
    FillRect(item->hDC, &item->rcItem, BrushOf(background));
    DrawItemMarkup(item->hDC, static_cast<int>(item->itemID), MarkupRect(item->rcItem), paint, background);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
    FitHeightToItems();
}

void TtevHTMListbox::FitHeightToItems() {
    if (GetAlign() != Align::Top && GetAlign() != Align::Bottom) return;
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    int total = (window.bottom - window.top) - client.bottom;
    for (int height : ShownHeights()) total += height;
    if (Units(total) != Height()) SetHeight(Units(total));
}

// --------------------------------------------------------- TtevHtmlCheckListBox

TtevHtmlCheckListBox::TtevHtmlCheckListBox(WinControl* parent, DWORD extraStyle) : THTMListbox(parent, extraStyle) {}

void TtevHtmlCheckListBox::ItemInserted(int index) { checks_.insert(checks_.begin() + index, Check{}); }

void TtevHtmlCheckListBox::ItemDeleted(int index) { checks_.erase(checks_.begin() + index); }

TCheckBoxState TtevHtmlCheckListBox::State(int index) const {
    return index >= 0 && index < Count() ? checks_[static_cast<size_t>(index)].state : TCheckBoxState::cbUnchecked;
}

void TtevHtmlCheckListBox::SetState(int index, TCheckBoxState state) {
    if (index < 0 || index >= Count()) return;
    checks_[static_cast<size_t>(index)].state = state;
    RepaintItem(index);
}

bool TtevHtmlCheckListBox::Checked(int index) const { return State(index) == TCheckBoxState::cbChecked; }

void TtevHtmlCheckListBox::SetChecked(int index, bool checked) {
    SetState(index, checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

bool TtevHtmlCheckListBox::ItemEnabled(int index) const {
    return index >= 0 && index < Count() && checks_[static_cast<size_t>(index)].enabled;
}

void TtevHtmlCheckListBox::SetItemEnabled(int index, bool enabled) {
    if (index < 0 || index >= Count()) return;
    checks_[static_cast<size_t>(index)].enabled = enabled;
    RepaintItem(index);
}

int TtevHtmlCheckListBox::CheckedCount() const {
    return static_cast<int>(
        std::count_if(checks_.begin(), checks_.end(), [](const Check& c) { return c.state == TCheckBoxState::cbChecked; }));
}

void TtevHtmlCheckListBox::RepaintItem(int index) {
    // Checking thousands of items costs nothing while they are out of sight
    // or while the window fills the list with its drawing off.
    RECT r;
    if (RedrawOff()) RepaintWhenRedrawn();
    else if (VisibleItemRect(index, r)) InvalidateRect(Handle(), &r, FALSE);
}

void TtevHtmlCheckListBox::Toggle(int index) {
    if (!ItemEnabled(index)) return;
    TCheckBoxState next = TCheckBoxState::cbChecked;
    switch (State(index)) {
    case TCheckBoxState::cbUnchecked: next = TCheckBoxState::cbChecked; break;
    case TCheckBoxState::cbChecked: next = AllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbUnchecked; break;
    case TCheckBoxState::cbGrayed: next = AllowGrayed ? TCheckBoxState::cbUnchecked : TCheckBoxState::cbChecked; break;
    }
    SetState(index, next);
    if (OnClickCheck) OnClickCheck(this);
}

RECT TtevHtmlCheckListBox::MarkupRect(const RECT& itemRect) const {
    RECT r = itemRect;
    // A little room after the box: the focus frame runs along the item's
    // left edge and would otherwise cover the first letter.
    r.left += CheckWidth() + Px(2);
    return r;
}

void TtevHtmlCheckListBox::DrawItem(DRAWITEMSTRUCT* item) {
    if (item->itemID >= static_cast<UINT>(Count())) return;
    int index = static_cast<int>(item->itemID);
    bool enabled = ItemEnabled(index);
    HDC dc = item->hDC;
    RECT box = item->rcItem;
    box.right = box.left + CheckWidth();
    FillRect(dc, &box, BrushOf(GetColor()));
    int size = Px(13);
    RECT check{box.left + (CheckWidth() - size) / 2, box.top + Px(3), 0, 0};
    check.right = check.left + size;
    check.bottom = check.top + size;
    UINT look = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (State(index) == TCheckBoxState::cbChecked) look |= DFCS_CHECKED;
    if (!enabled) look |= DFCS_INACTIVE;
    DrawFrameControl(dc, &check, DFC_BUTTON, look);
    if (State(index) == TCheckBoxState::cbGrayed) {
        // Partly checked: a filled square in the box, so it reads neither as
        // checked nor as a disabled check mark.
        RECT mark = check;
        InflateRect(&mark, -Px(3), -Px(3));
        FillRect(dc, &mark, BrushOf(enabled ? clWindowText : clGrayText));
    }

    RECT rest = item->rcItem;
    rest.left = box.right;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    Color background = selected ? Rgb(227, 232, 206) : clWhite;
    FillRect(dc, &rest, BrushOf(background));
    MarkupPaint paint = BasePaint();
    paint.font.color = enabled ? clBlack : clGrayText;
    paint.linkColor = paint.font.color;
    DrawItemMarkup(dc, index, MarkupRect(item->rcItem), paint, background);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &rest);
}

LRESULT TtevHtmlCheckListBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        auto [href, index] = AnchorAtItemPoint(x, y);
        if ((href.empty() || !LinksActive(index)) && x < CheckWidth()) {
            LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, lp);
            LRESULT result = THTMListbox::HandleMessage(WM_LBUTTONDOWN, wp, lp);
            if (HIWORD(hit) == 0 && LOWORD(hit) < Count()) Toggle(LOWORD(hit));
            return result;
        }
    }
    if (msg == WM_KEYDOWN && wp == VK_SPACE) {
        int index = ItemIndex();
        if (index >= 0) Toggle(index);
        return 0;
    }
    if (msg == WM_CHAR && wp == L' ') return 0;
    return THTMListbox::HandleMessage(msg, wp, lp);
}
