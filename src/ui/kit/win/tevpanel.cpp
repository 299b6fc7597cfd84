#include "ui/kit/win/tevpanel.h"

#include "ui/kit/win/scrollranges.h"

namespace {

unsigned ShiftNow() {
    unsigned shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    return shift;
}

}  // namespace

TtevPanel::TtevPanel(WinControl* parent) : Panel(parent) {
    SetText(L" ");
    SetBevelOuter(Bevel::None);
    SetParentColor(true);
}

void TtevPanel::SetTabStop(bool v) {
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    SetWindowLongW(Handle(), GWL_STYLE, v ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    // A stop of its own: the dialog keys no longer look through it for its
    // children's stops.
    LONG ex = GetWindowLongW(Handle(), GWL_EXSTYLE);
    SetWindowLongW(Handle(), GWL_EXSTYLE, v ? ex & ~WS_EX_CONTROLPARENT : ex | WS_EX_CONTROLPARENT);
}

void TtevPanel::AdjustHeight() {
    if (GetAlign() != Align::Top && GetAlign() != Align::Bottom) return;
    int height = BorderWidth() + 2;
    for (const auto& child : Children()) height += child->Height();
    if (height != Height()) SetHeight(height);
    UpdateScrollRanges(this);
}

void TtevPanel::BoundsChanged() {
    Panel::BoundsChanged();
    UpdateScrollRanges(this);
    if (OnResize) OnResize(this);
}

LRESULT TtevPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        if (OnKeyDown || OnKeyPress || OnKeyUp) return DLGC_WANTARROWS | DLGC_WANTCHARS;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
        const TKeyEvent& handler = down ? OnKeyDown : OnKeyUp;
        if (!handler) break;
        WORD key = static_cast<WORD>(wp);
        handler(this, key, ShiftNow());
        if (key == 0) return 0;
        wp = key;
        break;
    }
    case WM_CHAR:
        if (OnKeyPress) {
            wchar_t key = static_cast<wchar_t>(wp);
            OnKeyPress(this, key);
            if (key == 0) return 0;
            wp = key;
        }
        break;
    }
    return Panel::HandleMessage(msg, wp, lp);
}
