#include "ui/kit/win/tabset.h"

#include <commctrl.h>

TtevTabSet::TtevTabSet(WinControl* parent) : WinControl(parent) {
    SetBoundsSilently({0, 0, 185, 21});
    CreateHandle(WC_TABCONTROLW, WS_TABSTOP | TCS_TABS | TCS_SINGLELINE);
}

void TtevTabSet::SetTabs(const std::vector<std::wstring>& tabs) {
    tabs_ = tabs;
    SendMessageW(Handle(), TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < tabs_.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabs_[i].c_str());
        SendMessageW(Handle(), TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    if (tabIndex_ < 0 || tabIndex_ >= static_cast<int>(tabs_.size())) tabIndex_ = tabs_.empty() ? -1 : 0;
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
}

bool TtevTabSet::CanChange(int index) {
    bool allow = true;
    if (OnChange) OnChange(this, index, allow);
    return allow;
}

void TtevTabSet::SetTabIndex(int index) {
    if (index == tabIndex_ || index < -1 || index >= static_cast<int>(tabs_.size())) return;
    if (!CanChange(index)) return;
    tabIndex_ = index;
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Click();
}

LRESULT TtevTabSet::Notify(NMHDR* header) {
    if (header->code != TCN_SELCHANGE) return 0;
    // The control has already moved to the tab the user picked (the change
    // notice beforehand does not say which); a refused change moves it back.
    int index = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
    if (index == tabIndex_) return 0;
    if (!CanChange(index)) {
        SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
        return 0;
    }
    tabIndex_ = index;
    Click();
    return 0;
}
