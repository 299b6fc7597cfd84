#pragma once
// TtevTabSet: the kit's plain tab set, a row of tabs on the system's tab
// control. No window of the program shows one; a wizard button moves it when
// its window has no flat strip (TtevTabSetFlat).
#include <functional>
#include <string>
#include <vector>

#include "ui/win/control.h"

// Asked before the current tab changes; allowChange false keeps it.
using TTabChangeEvent = std::function<void(Control* sender, int newTab, bool& allowChange)>;

class TtevTabSet : public WinControl {
public:
    explicit TtevTabSet(WinControl* parent);

    const std::vector<std::wstring>& Tabs() const { return tabs_; }
    // The current tab stays when it still exists, else the first one is
    // current (none without tabs); no events.
    void SetTabs(const std::vector<std::wstring>& tabs);
    int TabIndex() const { return tabIndex_; }
    // -1 (none) or a tab; other values are ignored. OnChange may refuse the
    // change; a change made calls OnClick.
    void SetTabIndex(int index);
    TTabChangeEvent OnChange;

    LRESULT Notify(NMHDR* header) override;

private:
    bool CanChange(int index);
    std::vector<std::wstring> tabs_;
    int tabIndex_ = -1;
};
