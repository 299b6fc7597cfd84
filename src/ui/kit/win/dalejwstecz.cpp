#include "ui/kit/win/dalejwstecz.h"

#include "ui/kit/win/tabset.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/win/form.h"

namespace {

template <typename T, typename F>
void ForEachDescendant(WinControl* root, F&& f) {
    for (const auto& child : root->Children()) {
        if (auto* t = dynamic_cast<T*>(child.get())) f(t);
        if (auto* w = dynamic_cast<WinControl*>(child.get())) ForEachDescendant<T>(w, f);
    }
}

}  // namespace

TtevDalejWsteczButton::TtevDalejWsteczButton(WinControl* parent, TtevDAlejWstecz rodzaj)
    : TtevCustomColorButton(parent), rodzaj_(rodzaj) {
    SetRodzaj(rodzaj);
}

TtevTabSet* TtevDalejWsteczButton::TabSet() const { return tabSet_.get(); }

void TtevDalejWsteczButton::SetTabSet(TtevTabSet* tabs) { tabSet_ = tabs; }

TtevTabSetFlat* TtevDalejWsteczButton::TabSetFlat() const { return tabSetFlat_.get(); }

void TtevDalejWsteczButton::SetTabSetFlat(TtevTabSetFlat* strip) { tabSetFlat_ = strip; }

TtevDalejWsteczButton::Strip TtevDalejWsteczButton::FindStrip() {
    Form* form = OwnerForm(this);
    if (TtevTabSetFlat* flat = TabSetFlat()) return {flat, nullptr};
    TtevTabSetFlat* lastFlat = nullptr;
    if (form) ForEachDescendant<TtevTabSetFlat>(form, [&](TtevTabSetFlat* s) { lastFlat = s; });
    if (lastFlat) return {lastFlat, nullptr};
    if (TtevTabSet* tabs = TabSet()) return {nullptr, tabs};
    TtevTabSet* lastTabs = nullptr;
    if (form) ForEachDescendant<TtevTabSet>(form, [&](TtevTabSet* s) { lastTabs = s; });
    return {nullptr, lastTabs};
}

TtevTabInfo TtevDalejWsteczButton::GetTabInfo() {
    TtevTabInfo info;
    Strip strip = FindStrip();
    if (strip.flat) {
        info.index = strip.flat->TabIndex();
        info.count = static_cast<int>(strip.flat->Items().size());
    } else if (strip.tabs) {
        info.index = strip.tabs->TabIndex();
        info.count = static_cast<int>(strip.tabs->Tabs().size());
    } else {
        return info;
    }
    info.first = info.index == 0;
    info.last = info.count == info.index + 1;
    return info;
}

void TtevDalejWsteczButton::GoToTab(int index) {
    Strip strip = FindStrip();
    if (strip.flat) strip.flat->SetTabIndex(index);
    else if (strip.tabs) strip.tabs->SetTabIndex(index);
}

void TtevDalejWsteczButton::SetRodzaj(TtevDAlejWstecz rodzaj) {
    rodzaj_ = rodzaj;
    TtevTabInfo info = GetTabInfo();
    std::wstring caption;
    if (rodzaj == TtevDAlejWstecz::dwDalej) caption = info.first ? L"&Start >" : info.last ? L"&Zakończ" : L"&Dalej >";
    else caption = info.first ? L"Anuluj" : CalaWstecz ? L"<< &Wróć!" : L"<< &Wstecz!";
    SetText(caption);
    Invalidate();
}

void TtevDalejWsteczButton::Click() {
    // The window's result comes only from a fast end, never from an
    // ordinary move between pages.
    if (OnClick) OnClick(this);
    TtevTabInfo info = GetTabInfo();
    if (rodzaj_ == TtevDAlejWstecz::dwDalej) {
        if (!info.last) {
            bool allow = true;
            int next = info.index;
            if (OnDalej) OnDalej(info.index, rodzaj_, allow);
            if (allow) {
                next = info.index + 1;
                if (OnGetNextTab) OnGetNextTab(info.index, next, rodzaj_, allow);
                if (allow) GoToTab(next);
            }
            if (OnAfterDalej) OnAfterDalej(next, rodzaj_, allow);
        } else if (AllowFastEnd) {
            if (OnAfterFastEnd) OnAfterFastEnd(this);
            if (Form* form = OwnerForm(this); form && ModalResult() != 0) form->SetModalResult(ModalResult());
        }
    } else {
        if (!info.first) {
            GoToTab(CalaWstecz ? 0 : info.index - 1);
        } else if (AllowFastEnd) {
            if (Form* form = OwnerForm(this)) form->Close();
            return;
        }
    }
    SetRodzaj(rodzaj_);
    if (Form* form = OwnerForm(this))
        ForEachDescendant<TtevDalejWsteczButton>(form, [this](TtevDalejWsteczButton* b) {
            if (b != this) b->SetRodzaj(b->Rodzaj());
        });
}
