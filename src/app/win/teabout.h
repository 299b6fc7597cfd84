#pragma once
// TeAbout: the about box. Four pages on a flat tab strip: the program's name
// and version, its environment (system, today, the program folder and the
// shared settings file, both opened by a click), the tools the main window
// does not offer (changing the data set, the cleanup wizard, the running
// applications) and the maker's contact data.
#include <string>
#include <vector>

#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

class TeAbout : public Form {
public:
    TeAbout();

    void FormShow(Control* sender);
    void lbFolderClick(Control* sender);
    void lbUstawieniaClick(Control* sender);
    void tevClickableLabel2Click(Control* sender);
    void tevColorButton1Click(Control* sender);
    void tevClickableLabel1Click(Control* sender);
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in the system's
    // property sheets.
    bool PreTranslate(MSG& msg) override;

    TtevPanel* pNaglowek;
    TtevClickableLabel* lbInfo;
    TtevTabSetFlat* ts;
    Panel* pStrony;
    Image* Image2;
    Notebook* nb;

    // " O programie "
    Label* VersionLabel7;
    Label* VersionLabel8;
    Label* lbPrawa;
    Panel* pWersja;
    Label* VersionLabel6;
    Label* VersionLabel5;
    // " Informacje "
    TtevClickableLabel* lbNT;
    TtevClickableLabel* lbData;
    TtevClickableLabel* lbFolder;
    TtevClickableLabel* lbUstawienia;
    // " Opcje "
    TtevClickableLabel* tevClickableLabel2;
    TtevColorButton* tevColorButton1;
    TtevClickableLabel* tevClickableLabel1;
    // " Kontakt "
    THTMLabel* lbKontakt;
    Image* Image1;
};

// Creates the about box, shows it modally and destroys it.
void ShowAbout();

// The first line of the environment page: "Windows NT" on the NT family.
std::wstring EnvironmentText(bool ntFamily);

// The executables of the running processes, one path a line, as the
// applications list shows them.
std::vector<std::wstring> RunningApplications();

// The contact page's markup: the maker's address, mail and web links,
// telephone and fax.
std::wstring AboutContactMarkup();
