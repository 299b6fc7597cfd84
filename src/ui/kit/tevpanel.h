#pragma once
// TtevPanel: a plain panel without bevels, collapsed and expanded by a
// clickable label whose FocusControl it is. While collapsed it keeps its
// expanded height in Tag.
#include <functional>

#include "ui/controls.h"

class TtevPanel : public Panel {
public:
    explicit TtevPanel(WinControl* parent);

    int Tag = 0;
    Event OnResize;

    // A top- or bottom-aligned panel fits its height to its children.
    virtual void AdjustHeight();

protected:
    void BoundsChanged() override;
};
