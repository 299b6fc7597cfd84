#pragma once
// TeTevMessageListBox: a list of lines under a title with the stop sign, for
// reports and lists of problems.
#include <string>
#include <vector>

#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

class TeTevMessageListBox : public Form {
public:
    TeTevMessageListBox();
    // Sets the title and makes the space above the list tall enough for all
    // of it, at most half the window.
    void SetTitle(const std::wstring& markup);

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
