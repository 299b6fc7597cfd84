#include "ui/kit/tevpanel.h"

#include "ui/kit/scrollranges.h"

TtevPanel::TtevPanel(WinControl* parent) : Panel(parent) {
    SetText(L" ");
    SetBevelOuter(Bevel::None);
    SetParentColor(true);
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
