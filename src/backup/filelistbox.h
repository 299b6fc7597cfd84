#pragma once
// The restore dialog's list of files: a check list whose items all have the
// same two-line form. An item whose lines fit the width takes the height of
// any such item, measured once per width; only longer ones are laid out in
// full. A list of ten thousand files fills in a fraction of the time.
#include <string>

#include "ui/kit/htmlistbox.h"

class TFileCheckListBox : public TtevHtmlCheckListBox {
public:
    using TtevHtmlCheckListBox::TtevHtmlCheckListBox;
    ~TFileCheckListBox() override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

private:
    // Both lines of the item, measured in bold throughout (wider than they
    // are drawn), are narrower than width.
    bool FitsTwoLines(const std::wstring& markup, int width) const;

    // Kept for the list's life: asking the system for a screen DC per item
    // costs more than the measuring.
    mutable HDC measureDc_ = nullptr;
    int twoLineHeight_ = 0;
    int measuredWidth_ = -1;  // the width twoLineHeight_ was measured at
};
