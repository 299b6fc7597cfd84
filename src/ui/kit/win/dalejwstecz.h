#pragma once
// TtevDalejWsteczButton: the "next" / "back" button of the wizard windows.
// It moves the wizard's page strip (a flat tab strip, or else a plain tab
// set) one page on or back, asks the window
// through its events whether a move is allowed and which page comes next,
// ends the wizard from the last page ("next") or the first ("back") when
// allowed to, and names itself after the page.
#include <functional>

#include "ui/kit/win/colorbutton.h"

class TtevTabSet;
class TtevTabSetFlat;

enum class TtevDAlejWstecz { dwDalej, dwWstecz };

using TtevOnDalej = std::function<void(int tabIndex, TtevDAlejWstecz rodzaj, bool& allow)>;
using TtevOnGetNextTab = std::function<void(int curTab, int& nextTab, TtevDAlejWstecz rodzaj, bool& allow)>;

struct TtevTabInfo {
    int index = -1;
    int count = 0;
    bool first = false;
    bool last = false;
};

class TtevDalejWsteczButton : public TtevCustomColorButton {
public:
    explicit TtevDalejWsteczButton(WinControl* parent, TtevDAlejWstecz rodzaj = TtevDAlejWstecz::dwDalej);

    // The strips the button moves; a reference to a destroyed strip reads
    // as none.
    TtevTabSet* TabSet() const;
    virtual void SetTabSet(TtevTabSet* tabs);
    TtevTabSetFlat* TabSetFlat() const;
    virtual void SetTabSetFlat(TtevTabSetFlat* strip);
    TtevDAlejWstecz Rodzaj() const { return rodzaj_; }
    // Also refreshes the caption for the current page.
    virtual void SetRodzaj(TtevDAlejWstecz rodzaj);
    bool CalaWstecz = false;
    bool AllowFastEnd = false;
    TtevOnDalej OnDalej;
    TtevOnGetNextTab OnGetNextTab;
    TtevOnDalej OnAfterDalej;
    Event OnAfterFastEnd;

    // The strip: TabSetFlat, else the last flat strip on the window, else
    // TabSet, else the last tab set on the window.
    virtual TtevTabInfo GetTabInfo();
    virtual void GoToTab(int index);
    // After the window has built its controls: "back" starts as "Anuluj".
    void Loaded() { SetRodzaj(rodzaj_); }

    void Click() override;

private:
    struct Strip {
        TtevTabSetFlat* flat = nullptr;
        TtevTabSet* tabs = nullptr;
    };
    Strip FindStrip();
    ControlRef<TtevTabSet> tabSet_;
    ControlRef<TtevTabSetFlat> tabSetFlat_;
    TtevDAlejWstecz rodzaj_;
};
