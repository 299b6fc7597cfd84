#pragma once
// TeVorozide_MainForm: the cleanup wizard "Vorozide". It finds what the TEV
// programs left on the computer (programs, shortcuts, small and emergency
// copies of data files, data files, settings files), lets the user choose
// what goes, and deletes exactly the files the summary lists and the user
// kept checked, through the shell, into the Recycle Bin where there is one.
// Finally it may remove itself (when its executable is "vorozide.exe").
//
// Pages: " Dzień dobry " (the mode), " Programy ", " Skróty ",
// " Kopie zapasowe ", " Bazy danych ", " Pliki konfiguracyjne ",
// " Podsumowanie ". Each forward entry into a page builds its list anew and
// ticks what the mode says; only "Zakończ" on the summary deletes anything.
//
// What is ticked without the user: nothing in "usuń niektóre komponenty";
// in the two other modes never a file the TEV programs do not name (a
// foreign "*.dat" beside their data, another maker's "x.exe.ini", a program
// of another company), and in "usuń zbędne elementy" nothing in use.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cleanup/cleanuprules.h"
#include "cleanup/win/apperaser.h"
#include "cleanup/win/filesearch.h"
#include "cleanup/win/shelllink.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/dalejwstecz.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/htmlcheckbox.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

// Opens the wizard modally. True when the user confirmed its removal: the
// eraser is started and the program must end now (the program's side has
// been asked to end it).
bool ShowCleanupWizard();

// Where the wizard looks; the defaults are the system's, tests set their own.
struct CleanupPlaces {
    // Folders searched for shortcuts, recursively: the user's and all users'
    // desktop and Start menu.
    std::vector<std::wstring> shortcutFolders;
    // The ";"-separated folders searched recursively for the shared files and
    // the settings files: "c:\" and the root of the program's drive.
    std::wstring driveFolders;
};
CleanupPlaces DefaultCleanupPlaces();

class TeVorozide_MainForm : public Form {
public:
    TeVorozide_MainForm();

    enum Page { pgDzienDobry, pgProgramy, pgSkroty, pgKopieZapasowe, pgBazyDanych, pgPlikiINI, pgPodsumowanie };

    // Events.
    void FormCreate();
    void FormShow();
    void bDalejAfterDalej(int page);
    void bDalejAfterFastEnd();
    void bProgramyWszystkieClick(Control* sender);
    void bSkrotyWszystkieClick(Control* sender);
    void bKopieStarszeNIz2tygodnieClick(Control* sender);
    void bBazyWszystkieClick(Control* sender);
    void bPlikiIniWszystkieClick(Control* sender);
    void lbProgramyClickCheck();
    void lbSkrotyClickCheck();
    void lbKopieZapasoweClickCheck();
    void lbBazyDanychClickCheck();
    void lbPlikiINIClickCheck();
    void lbPodsumowanieClickCheck();
    void fsSkrotyFileFind(const std::wstring& fullpath, const WIN32_FIND_DATAW& info);
    void fsSkrotyChangeFolder(const std::wstring& fullpath, const WIN32_FIND_DATAW& info);
    void fsSkrotyFinish();

    // The page builders.
    void SzukajProgramow();
    void SzukajSkrotow();
    void SzukajKopiiZapasowych();
    void SzukajBazDanych();
    void SzukajPlikowIni();
    void PrzygotujPodsumowanie();

    CleanupMode Mode() const;
    void SetMode(CleanupMode mode);
    int PageIndex() const { return ts->TabIndex(); }
    CleanupPlaces places = DefaultCleanupPlaces();
    // True once the user confirmed the removal of the wizard itself and the
    // eraser started.
    bool SelfRemovalStarted() const { return selfRemovalStarted_; }
    // The paths of a page's checked items, in list order.
    std::vector<std::wstring> CheckedPaths(TtevHtmlCheckListBox* list) const;
    // The item of a path on a page's list, -1 when not listed.
    static int IndexOfPath(TtevHtmlCheckListBox* list, const std::wstring& path);
    static std::wstring ItemPath(TtevHtmlCheckListBox* list, int index);

    // Components.
    Panel* pNaglowek;
    Image* imLogo;
    Label* lbNazwa;
    Label* lbWitamy;
    Label* lbBiezacaData;
    TtevTabSetFlat* ts;
    Notebook* nb;
    Panel* pDol;
    TtevDalejWsteczButton* bWstecz;
    TtevDalejWsteczButton* bDalej;
    // " Dzień dobry "
    THTMLabel* lbPowitanie;
    THTMLRadioButton* rbWywalWszystko;
    THTMLRadioButton* rbWywalZbedne;
    THTMLRadioButton* rbWywalNiektore;
    // The list pages.
    TtevColorButton* bProgramyWszystkie;
    TtevColorButton* bProgramyStare;
    TtevHtmlCheckListBox* lbProgramy;
    THTMLabel* lbSumaProgramy;
    TtevColorButton* bSkrotyWszystkie;
    TtevColorButton* bSkrotyZbedne;
    TtevHtmlCheckListBox* lbSkroty;
    THTMLabel* lbSumaSkrotow;
    TtevColorButton* bKopieWszystkie;
    TtevColorButton* bKopieStarszeNIz2tygodnie;
    TtevHtmlCheckListBox* lbKopieZapasowe;
    THTMLabel* lbSumaKopieZapasowe;
    TtevColorButton* bBazyWszystkie;
    TtevColorButton* bBazyNieUzywane;
    TtevHtmlCheckListBox* lbBazyDanych;
    THTMLabel* lbSumaBazyDanych;
    TtevColorButton* bPlikiIniWszystkie;
    TtevColorButton* bPlikiIniNieUzywane;
    TtevHtmlCheckListBox* lbPlikiINI;
    THTMLabel* lbSumaPlikiINI;
    // " Podsumowanie "
    TtevHtmlCheckListBox* lbPodsumowanie;
    THTMLabel* lbSumaPodsumowania;
    THTMLCheckBox* cbUsunMyself;

    TAppEraser ae;
    TFileSearch fsSkroty;
    TPBShellLink PBShellLink1;

private:
    struct ListPage {
        CleanupPage page;
        TtevHtmlCheckListBox* list;
        THTMLabel* totals;
        TtevColorButton* all;
        TtevColorButton* rule;
    };
    ListPage& PageOf(CleanupPage page);
    ListPage* PageOfList(TtevHtmlCheckListBox* list);
    Panel* BuildListPage(Panel* page, CleanupPage which, TtevColorButton*& all, const std::wstring& allCaption,
                         TtevColorButton*& rule, const std::wstring& ruleCaption, TtevHtmlCheckListBox*& list,
                         THTMLabel*& totals);
    // The frame of every builder: status, the window disabled, the list
    // cleared and built inside a guard, the window enabled, the mode applied.
    void BuildPage(CleanupPage page, const std::wstring& status, const std::function<void()>& build);
    void AddItem(CleanupPage page, const std::wstring& markup, const std::wstring& path, const ItemFacts& facts);
    // The facts of an item as they are now (a file may have gone meanwhile).
    ItemFacts CurrentFacts(CleanupPage page, const std::wstring& path);
    void ApplyMode(CleanupPage page);
    void ApplyRule(CleanupPage page);
    void CheckAll(CleanupPage page);
    void UpdateTotals(CleanupPage page);
    void UpdateSummaryTotals();
    void DeleteSummary();
    bool RemoveMyself();
    // The value names of the table and program paths (the machine's and the
    // user's), and a value (the machine's, else the user's).
    std::vector<std::wstring> PathValueNames() const;
    std::wstring PathValue(const std::wstring& name) const;

    std::vector<ListPage> pages_;
    std::map<std::wstring, ItemFacts> facts_[pgPodsumowanie];  // by upper-cased path
    std::map<std::wstring, std::wstring> shortcutTargets_;      // shortcut (upper) -> target
    bool selfRemovalStarted_ = false;
};
