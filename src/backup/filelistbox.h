#pragma once
// The restore dialog's list of files: a check list whose items all have the
// same form, a line of the file and a line of its comparison (empty when
// nothing was compared). An item whose lines fit the width takes the height
// of any item of as many lines, measured once per width; only longer ones are
// laid out in full. A list of ten thousand files fills in a fraction of the
// time.
#include <array>
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
    std::array<int, 3> heights_{};  // by number of lines, at measuredWidth_
    int measuredWidth_ = -1;
};
