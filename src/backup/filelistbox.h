#pragma once
// The restore dialog's list of files: a check list whose items all have the
// same form, a line of the file and a line of its comparison (empty when
// nothing was compared). An item of two lines that both fit the width takes
// the height of any such item, measured once per width; every other item is
// laid out in full. A list of ten thousand files fills in a fraction of the
// time.
#include <string>

#include "ui/kit/htmlistbox.h"

class TFileCheckListBox : public TtevHtmlCheckListBox {
public:
    using TtevHtmlCheckListBox::TtevHtmlCheckListBox;
    ~TFileCheckListBox() override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

private:
    // 1 or 2 when the item is of the list's form and each of its lines,
    // measured in bold throughout (wider than it is drawn), is narrower
    // than width; 0 otherwise.
    int FittingLines(const std::wstring& markup, int width) const;

    // Kept for the list's life: asking the system for a screen DC per item
    // costs more than the measuring.
    mutable HDC measureDc_ = nullptr;
    int twoLineHeight_ = 0;  // at measuredWidth_
    int measuredWidth_ = -1;
};
