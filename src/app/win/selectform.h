#pragma once
// TtevSelectForm: one item chosen from a list, with a search through the
// items' texts.
#include <string>
#include <vector>

#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

class TtevSelectForm : public Form {
public:
    TtevSelectForm();

    // Handlers, named after the events they serve.
    void xSelectListClick(Control* sender);
    void xSelectListDblClick(Control* sender);
    void bSzukajClick(Control* sender);

    Panel* pTitle;
    Label* title;
    TtevColorButton* bSzukaj;
    Panel* pBottom;
    TtevColorButton* cancelbtn;
    TtevColorButton* okbtn;
    TtevHTMListbox* xSelectList;
};

// The index chosen: -1 when OK with nothing chosen, defaultIndex when cancelled.
int ShowSelectForm(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                   int defaultIndex);
