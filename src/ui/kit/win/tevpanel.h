#pragma once
// TtevPanel: a plain panel without bevels, collapsed and expanded by a
// clickable label whose FocusControl it is. While collapsed it keeps its
// expanded height in Tag.
//
// It also reports the keys typed while it has the focus (OnKeyDown,
// OnKeyPress, OnKeyUp); a handler that sets the key to 0 consumes it. With
// key handlers the panel asks the dialog manager for arrows and characters,
// and SetTabStop lets Tab reach it.
#include <functional>

#include "ui/win/controls.h"

// Modifier keys held with a key.
enum TShiftState : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

using TKeyEvent = std::function<void(Control* sender, WORD& key, unsigned shift)>;
using TKeyPressEvent = std::function<void(Control* sender, wchar_t& key)>;

class TtevPanel : public Panel {
public:
    explicit TtevPanel(WinControl* parent);

    int Tag = 0;
    Event OnResize;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void SetTabStop(bool v);

    // A top- or bottom-aligned panel fits its height to its children.
    virtual void AdjustHeight();

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void BoundsChanged() override;
};
