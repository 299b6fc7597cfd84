#pragma once
// THTMLCheckBox: a check box whose caption is markup (a bold word, a second
// line in a small font); THTMLRadioButton: the same as a radio button. Each
// is a window of its own: Tab reaches it, Space (or a click) changes it, and
// in a group the arrow keys move between the radio buttons and choose the
// one they reach. A group is the radio buttons of one parent window; only
// the chosen one of a group (or its first, while none is) is a Tab stop.
// The window text is the caption's plain text, for screen readers.
#include <string>
#include <vector>

#include "ui/win/control.h"

class THTMLCheckBox : public WinControl {
public:
    explicit THTMLCheckBox(WinControl* parent, const std::wstring& markup = {}, bool radio = false);

    const std::wstring& Markup() const { return markup_; }
    void SetMarkup(const std::wstring& markup);
    bool Radio() const { return radio_; }

    bool Checked() const { return checked_; }
    // A radio button checked unchecks the others of its group; no events.
    void SetChecked(bool v);

    // After the user changed the state (never after the program did).
    Event OnChange;

    // Fits the height to the caption at the current width.
    void AdjustHeight();

    // Space and clicks: a check box toggles, a radio button is chosen.
    void Click() override;
    void MouseDown(MouseButton button, int x, int y) override;
    bool KeyDown(WPARAM key) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void UseStandardColors() override;

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
    void BoundsChanged() override;
    void EnabledChanged() override;

private:
    int BoxSize() const { return Px(13); }
    int TextLeft() const { return BoxSize() + Px(5); }
    // The radio buttons of this one's group, in creation order.
    std::vector<THTMLCheckBox*> Group() const;
    // Only the chosen radio button of a group is reached by Tab.
    void UpdateTabStops();
    void MoveInGroup(int step);

    std::wstring markup_;
    bool radio_;
    bool checked_ = false;
};

class THTMLRadioButton : public THTMLCheckBox {
public:
    explicit THTMLRadioButton(WinControl* parent, const std::wstring& markup = {})
        : THTMLCheckBox(parent, markup, true) {}
};
