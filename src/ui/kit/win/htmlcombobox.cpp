#include "ui/kit/win/htmlcombobox.h"

#include <commctrl.h>

#include "ui/kit/markup.h"
#include "ui/kit/win/markup_draw.h"
#include "util/failure.h"

THTMLComboBox::THTMLComboBox(WinControl* parent) : WinControl(parent) {
    SetColorSilently(clWindow);
    SetBoundsSilently({0, 0, 145, 21});
    CreateHandle(WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
    UpdateItemHeight();
}

void THTMLComboBox::UpdateItemHeight() {
    ScreenDC dc;
    HGDIOBJ old = SelectObject(dc, FontHandle(GetFont(), Dpi()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    int height = metrics.tmHeight + Px(2);
    // -1: the closed box; 0: the items of the list.
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, height);
}

void THTMLComboBox::AppearanceChanged() {
    WinControl::AppearanceChanged();
    if (Handle()) UpdateItemHeight();
}

int THTMLComboBox::Add(const std::wstring& markup) {
    items_.push_back(markup);
    std::wstring plain = MarkupPlainText(markup);
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(plain.c_str()));
    return Count() - 1;
}

void THTMLComboBox::Clear() {
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    items_.clear();
}

const std::wstring& THTMLComboBox::Item(int index) const {
    if (index < 0 || index >= Count()) throw Failure(L"Item index out of range");
    return items_[static_cast<size_t>(index)];
}

int THTMLComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void THTMLComboBox::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetTextSilently(index >= 0 && index < Count() ? MarkupPlainText(items_[static_cast<size_t>(index)]) : L"");
}

void THTMLComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    int index = ItemIndex();
    SetTextSilently(index >= 0 && index < Count() ? MarkupPlainText(items_[static_cast<size_t>(index)]) : L"");
    if (OnChange) OnChange(this);
}

HBRUSH THTMLComboBox::CtlColor(HDC dc) {
    SetBkColor(dc, ColorToRgb(GetColor()));
    SetTextColor(dc, ColorToRgb(GetFont().color));
    return BrushOf(GetColor());
}

void THTMLComboBox::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item->rcItem, BrushOf(selected ? SelectionColor : GetColor()));
    if (item->itemID < items_.size()) {
        MarkupPaint paint;
        paint.font = GetFont();
        paint.dpi = Dpi();
        paint.linkColor = URLColor;
        paint.images = Images;
        paint.selected = selected;
        paint.selectionFontColor = SelectionFontColor;
        paint.dialect = MarkupDialect::Combo;
        RECT r = item->rcItem;
        r.left += Px(2);
        r.top += Px(1);
        DrawMarkup(dc, items_[item->itemID], r, paint);
    }
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &item->rcItem);
}
