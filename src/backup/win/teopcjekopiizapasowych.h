#pragma once
// TeOpcjeKopiiZapasowych: the backup settings that every TEV program shares
// (large backups, small copies, their retention and location) on two tabs,
// and on the third the large backups available in the backup directory,
// each with its link "Odtwórz z tej kopii". Closing the window in any way
// saves what it shows; there is no cancel.
#include <string>

#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/directoryedit.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/htmlcheckbox.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/numberedit.h"
#include "ui/kit/win/tabset.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/menu.h"

// Creates the dialog, shows it modally and destroys it; true when it was
// closed with its close button (OK). After a restore the user agreed to end
// the program: the program's main window is closed the normal way.
bool ShowBackupOptions();

class TeOpcjeKopiiZapasowych : public Form {
public:
    TeOpcjeKopiiZapasowych();

    void FormCreate(Control* sender);
    void FormShow(Control* sender);
    // Takes the settings from the controls and saves them; run once, when
    // the window has closed, whichever way.
    void FormDestroy(Control* sender);
    void pcChange(Control* sender);
    // "Pokaż zawartość folderu...".
    void bAnulujClick(Control* sender);
    // The link of one available backup: its full path.
    void lbKopieZapasoweAnchorClick(Control* sender, int index, const std::wstring& anchor);

    bool PreTranslate(MSG& msg) override;

    // Set once the user agreed to end the program after a restore.
    bool EndRequested = false;

    THTMLabel* lbNaglowek;
    TtevTabSet* pc;
    Notebook* nbStrony;
    Panel* tsDuze;
    Panel* tsMale;
    Panel* tsOdtwarzanie;

    THTMLCheckBox* cbDuzeKopie;
    TtevNumberEdit* ceDuzeKopieCoDni;
    THTMLRadioButton* cbUsuwajDuzeKopieAutomaytcznie;
    THTMLRadioButton* cbUsuwajDuzeKopieZapytaj;
    THTMLRadioButton* cbUsuwajDuzeKopieNieUsuwaj;
    TtevNumberEdit* ceUsuwajDuzeKopieStarszeNiz;
    TtevClickableLabel* lbLokalizacja;
    TtevDirectoryEdit* deLokalizacja;
    Label* lbNiedostepna;
    PopupMenu pmSciezki;
    TtevColorButton* bAnuluj;
    THTMLabel* lbOpisDuze;

    THTMLCheckBox* cbMaleKopie;
    THTMLRadioButton* cbUsuwajMaleKopieAutomatycznie;
    THTMLRadioButton* cbUsuwajMaleKopieNieUsuwaj;
    TtevNumberEdit* ceUsuwajMaleKopieStarszeNiz;
    THTMLabel* lbOpisMale;

    THTMLabel* lbDostepneKopie;
    TtevHTMListbox* lbKopieZapasowe;
    THTMLCheckBox* cbBackup;

    TtevColorButton* bZamknij;

private:
    // Fits the caption boxes to their text once the pages have their width,
    // and the tabs' strip to its row of tabs.
    void FitHeights();
    Panel* tabStrip_ = nullptr;
    void FillBackupList();
    // The location as shown when the window opened.
    std::wstring shownLocation_;
    bool destroyed_ = false;
    bool loadedAuto_ = false, loadedAsk_ = false;
};
