#pragma once
// TtevNumberEdit: a whole number edited in the middle of its sentence,
// "twórz nową kopię zapasową co [14] dni": the text before it, the edit, a
// pair of arrows and the text after it, on one line. Up and Down in the
// edit (and the arrows) step the number within its range; what is typed is
// the caller's to read (NumberText), a fraction or a stray character
// included.
#include <string>

#include "ui/win/controls.h"

class TtevNumberEdit : public Panel {
public:
    TtevNumberEdit(WinControl* parent, const std::wstring& before, const std::wstring& after);

    // The text in the edit as typed.
    std::wstring NumberText() const;
    void SetNumber(int value);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    void SetRange(int minimum, int maximum);
    // The sentence as it reads now: before + the typed text + after.
    std::wstring DisplayText() const;

    Edit* EditControl() const { return edit_; }
    // After the number changed, typed or stepped.
    Event OnChange;

    // Steps the number (the whole part of what is typed) by delta.
    void Step(int delta);

protected:
    void BoundsChanged() override;
    void AppearanceChanged() override;

private:
    void Layout();

    Label* before_ = nullptr;
    Edit* edit_ = nullptr;
    WinControl* arrows_ = nullptr;
    Label* after_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 9999;
};
