#include "ui/kit/htmlistbox.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "ui/markup.h"
#include "util/failure.h"

// ---------------------------------------------------------------- THTMListbox

THTMListbox::THTMListbox(WinControl* parent, DWORD extraStyle)
    : ListBox(parent, LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | extraStyle) {}

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
    // The markup is in place before the list box asks for the item's height.
    items_.insert(items_.begin() + index, markup);
    ItemInserted(index);
    std::wstring plain = MarkupPlainText(markup);
    SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(plain.c_str()));
    UpdateHorizontalExtent();
}

void THTMListbox::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    items_.erase(items_.begin() + index);
    ItemDeleted(index);
    UpdateHorizontalExtent();
}

void THTMListbox::Clear() {
    while (Count() > 0) {
        items_.pop_back();
        ItemDeleted(Count());
    }
    ListBox::Clear();
    UpdateHorizontalExtent();
}

const std::wstring& THTMListbox::Item(int index) const {
    if (index < 0 || index >= Count()) throw Failure(L"Item index out of range");
    return items_[static_cast<size_t>(index)];
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

void THTMListbox::MeasureItem(MEASUREITEMSTRUCT* item) {
    if (item->itemID >= items_.size()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    RECT area = MarkupRect({0, 0, ScrollHorizontal ? 4096 : client.right, 4096});
    ScreenDC dc;
    SIZE used = MeasureMarkup(dc, items_[item->itemID], area, BasePaint());
    item->itemHeight = static_cast<UINT>(std::clamp<LONG>(used.cy + ExtraHeight(), 1, 255));
}

void THTMListbox::UpdateHorizontalExtent() {
    if (!ScrollHorizontal) return;
    ScreenDC dc;
    int widest = 0;
    for (const std::wstring& item : items_)
        widest = std::max<int>(widest, MeasureMarkup(dc, item, MarkupRect({0, 0, 4096, 4096}), BasePaint()).cx);
    RECT client;
    GetClientRect(Handle(), &client);
    // No scroll bar when everything fits.
    int extent = widest + 6 > client.right ? widest + 6 : 0;
    SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

std::pair<std::wstring, int> THTMListbox::AnchorAtItemPoint(int x, int y) {
    if (x < 0 || y < 0) return {{}, -1};
    LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    int index = LOWORD(hit);
    if (HIWORD(hit) != 0 || index >= Count()) return {{}, -1};
    RECT itemRect;
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&itemRect));
    ScreenDC dc;
    return {AnchorAtPoint(dc, items_[static_cast<size_t>(index)], MarkupRect(itemRect), {x, y}, BasePaint()), index};
}

void THTMListbox::TrackAnchor(int x, int y) {
    std::pair<std::wstring, int> now = x < 0 ? std::pair<std::wstring, int>{{}, -1} : AnchorAtItemPoint(x, y);
    if (now.first.empty()) now.second = -1;
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
        if (!href.empty()) {
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
        if (!AnchorAtItemPoint(at.x, at.y).first.empty()) {
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
    }
    if (msg == WM_SIZE && !ScrollHorizontal) {
        // Heights depend on the width: measure again.
        LRESULT result = ListBox::HandleMessage(msg, wp, lp);
        for (int i = 0; i < Count(); ++i) {
            MEASUREITEMSTRUCT m{ODT_LISTBOX, 0, static_cast<UINT>(i)};
            MeasureItem(&m);
            SendMessageW(Handle(), LB_SETITEMHEIGHT, static_cast<WPARAM>(i), m.itemHeight);
        }
        InvalidateRect(Handle(), nullptr, TRUE);
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
    DrawMarkup(item->hDC, Item(static_cast<int>(item->itemID)), MarkupRect(item->rcItem), paint);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
    FitHeightToItems();
}

void TtevHTMListbox::FitHeightToItems() {
    if (GetAlign() != Align::Top && GetAlign() != Align::Bottom) return;
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    int total = (window.bottom - window.top) - client.bottom;
    for (int i = 0; i < Count(); ++i)
        total += static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0));
    if (Units(total) != Height()) SetHeight(Units(total));
}

// --------------------------------------------------------- TtevHtmlCheckListBox

TtevHtmlCheckListBox::TtevHtmlCheckListBox(WinControl* parent) : THTMListbox(parent) {}

void TtevHtmlCheckListBox::ItemInserted(int index) { checked_.insert(checked_.begin() + index, 0); }

void TtevHtmlCheckListBox::ItemDeleted(int index) { checked_.erase(checked_.begin() + index); }

bool TtevHtmlCheckListBox::Checked(int index) const {
    return index >= 0 && index < Count() && checked_[static_cast<size_t>(index)] != 0;
}

void TtevHtmlCheckListBox::SetChecked(int index, bool checked) {
    if (index < 0 || index >= Count()) return;
    checked_[static_cast<size_t>(index)] = checked ? 1 : 0;
    RECT r;
    if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(Handle(), &r, FALSE);
}

int TtevHtmlCheckListBox::CheckedCount() const {
    return static_cast<int>(std::count(checked_.begin(), checked_.end(), 1));
}

void TtevHtmlCheckListBox::Toggle(int index) {
    SetChecked(index, !Checked(index));
    if (OnClickCheck) OnClickCheck(this);
}

RECT TtevHtmlCheckListBox::MarkupRect(const RECT& itemRect) const {
    RECT r = itemRect;
    r.left += CheckWidth();
    return r;
}

void TtevHtmlCheckListBox::DrawItem(DRAWITEMSTRUCT* item) {
    if (item->itemID >= static_cast<UINT>(Count())) return;
    int index = static_cast<int>(item->itemID);
    HDC dc = item->hDC;
    RECT box = item->rcItem;
    box.right = box.left + CheckWidth();
    FillRect(dc, &box, BrushOf(GetColor()));
    int size = Px(13);
    RECT check{box.left + (CheckWidth() - size) / 2, box.top + Px(3), 0, 0};
    check.right = check.left + size;
    check.bottom = check.top + size;
    DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (Checked(index) ? DFCS_CHECKED : 0));

    RECT rest = MarkupRect(item->rcItem);
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rest, BrushOf(selected ? Rgb(227, 232, 206) : clWhite));
    MarkupPaint paint = BasePaint();
    paint.font.color = clBlack;
    paint.linkColor = clBlack;
    DrawMarkup(dc, Item(index), rest, paint);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &rest);
}

LRESULT TtevHtmlCheckListBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        auto [href, index] = AnchorAtItemPoint(x, y);
        if (href.empty() && x < CheckWidth()) {
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
