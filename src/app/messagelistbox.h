#pragma once
// TeTevMessageListBox: a list of lines under a title with the stop sign, for
// reports and lists of problems.
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/kit/colorbutton.h"
#include "ui/kit/htmlabel.h"
#include "ui/kit/htmlistbox.h"

class TeTevMessageListBox : public Form {
public:
    TeTevMessageListBox();

    Panel* pTop;
    Image* iStop;
    THTMLabel* lbTYtul;
    Panel* pBottom;
    TtevColorButton* bkOK;
    TtevColorButton* bkAnuluj;
    TtevHTMListbox* lb;
};

// True when the list was closed with OK.
bool ShowMessageListBox(const std::wstring& caption, const std::wstring& title,
                        const std::vector<std::wstring>& lines);
