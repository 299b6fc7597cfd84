#include "cleanup/win/tevorozide.h"

#include <shlobj.h>

#include <algorithm>
#include <set>

#include "cleanup/shellpaths.h"
#include "cleanup/win/cleanupside.h"
#include "cleanup/win/fileoperation.h"
#include "cleanup/win/running.h"
#include "interact/ask.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "ui/kit/win/formkit.h"
#include "util/datetext.h"
#include "util/paths.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/wildcard.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/identity.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"
#include "util/win/tablepaths.h"

namespace {

constexpr wchar_t kTotalsStart[] = L"- - - - - - - - - - - - - - - - - - -";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr int kPageWidth = 600;

template <typename T, typename... Args>
T* Place(WinControl* parent, int left, int top, int width, int height, Args&&... args) {
    T* c = parent->template Add<T>(std::forward<Args>(args)...);
    c->SetBounds(left, top, width, height);
    return c;
}

DateTimeValue Now() { return Modal().Now(); }

std::wstring Key(const std::wstring& path) { return UpperCase(path); }

// The long form of a path, for comparing a registered path with the program's.
std::wstring LongForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetLongPathNameW(path.c_str(), buffer, static_cast<DWORD>(std::size(buffer)));
    return n > 0 && n < std::size(buffer) ? std::wstring(buffer, n) : path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return SameTextNoCase(a, b) || SameTextNoCase(LongForm(a), LongForm(b));
}

// Last write in local time, to the second, as the file system keeps it.
DateTimeValue LocalWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return 0;
    return SystemTimeValue(local);
}

// A file of the listing to consider: not a folder, not hidden or system (a
// plain listing does not show them).
bool PlainFile(const WIN32_FIND_DATAW& data) {
    return !(data.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

template <typename F>
void ListFolder(const std::wstring& folder, F&& visit) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((WithBackslash(folder) + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do visit(data);
    while (FindNextFileW(find, &data));
    FindClose(find);
}

// A folder the shell knows, empty when it has none (no search falls back to
// a whole drive).
std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0]) return {};
    return WithBackslash(path);
}

// Runs a step whose failure skips only that one entry.
template <typename F>
void Guarded(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

CleanupPlaces DefaultCleanupPlaces() {
    CleanupPlaces places;
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU}) {
        std::wstring folder = ShellFolder(csidl);
        if (folder.empty()) continue;
        bool seen = std::any_of(places.shortcutFolders.begin(), places.shortcutFolders.end(),
                                [&](const std::wstring& f) { return SamePath(f, folder); });
        if (!seen) places.shortcutFolders.push_back(folder);
    }
    places.driveFolders = L"c:\\;" + DriveRoot(ProgramDir());
    return places;
}

bool ShowCleanupWizard() {
    bool removed;
    {
        TeVorozide_MainForm wizard;
        wizard.ShowModal();
        removed = wizard.SelfRemovalStarted();
    }
    if (removed && CurrentCleanupSide().endProgram) CurrentCleanupSide().endProgram();
    return removed;
}

TeVorozide_MainForm::TeVorozide_MainForm() : Form(BorderStyle::Dialog) {
    SetCaption(L"Vorozide");
    SetFont(WindowFont());
    SetColor(clWhite);
    SetClientSize(624, 439);

    // The header: picture, name, welcome and today's date.
    pNaglowek = SidePanel(this, Align::Top, 58);
    pNaglowek->SetParentColor(false);
    pNaglowek->SetColor(clTevCream);
    imLogo = Place<Image>(pNaglowek, 12, 5, 48, 48);
    if (HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 0, 0,
                                                   LR_DEFAULTSIZE | LR_SHARED)))
        imLogo->SetIcon(CopyIcon(icon), 48);
    lbNazwa = Place<Label>(pNaglowek, 72, 6, 300, 26, L"Vorozide");
    lbNazwa->EditFont().size = 16;
    MakeBold(lbNazwa, clTevMaroon);
    lbWitamy = Place<Label>(pNaglowek, 73, 34, 300, 16, L"Witamy w programie.");
    lbBiezacaData = Place<Label>(pNaglowek, 312, 34, 300, 16);
    lbBiezacaData->SetAlignment(Alignment::Right);

    ts = Add<TtevTabSetFlat>();
    ts->SetAlign(Align::Top);
    ts->SetHeight(24);
    ts->SetColor(clTevGreen);
    ts->UnselectedColor = clTevGreen;
    ts->UnselectedFontColor = clWhite;
    // Seven tabs in the window's width: the last one, bold when chosen, was
    // cut at the right edge with the default room around the texts.
    ts->SetTextMargin(2);
    // The pages change only through the wizard's buttons.
    ts->SetEnabled(false);

    pDol = SidePanel(this, Align::Bottom, 44);
    pDol->SetParentColor(false);
    pDol->SetColor(clTevCream);
    bWstecz = Place<TtevDalejWsteczButton>(pDol, 12, 8, 120, 28, TtevDAlejWstecz::dwWstecz);
    bWstecz->SetColor(clWhite);
    bWstecz->AllowFastEnd = true;
    bDalej = Place<TtevDalejWsteczButton>(pDol, 0, 0, 0, 0, TtevDAlejWstecz::dwDalej);
    bDalej->SetColor(clWhite);
    bDalej->AllowFastEnd = true;
    bDalej->SetDefault(true);
    SetDefaultButton(bDalej);
    bDalej->OnAfterDalej = [this](int page, TtevDAlejWstecz, bool&) { bDalejAfterDalej(page); };
    bDalej->OnAfterFastEnd = [this](Control*) { bDalejAfterFastEnd(); };

    nb = Add<Notebook>();
    nb->SetAlign(Align::Client);
    nb->SetBorderWidth(12);
    nb->SetParentColor(true);

    // " Dzień dobry "
    Panel* pDzienDobry = nb->AddPage(L" Dzień dobry ");
    lbPowitanie = Place<THTMLabel>(
        pDzienDobry, 0, 0, kPageWidth, 120,
        L"<b>Jeśli już chcesz usunąć nasze programy, zrób to porządnie.</b><br><br>"
        L"Czy jesteś jednak pewny, że chcesz to zrobić? Ponowna instalacja programów, a nawet sformatowanie dysku, nie "
        L"usunie błędów, jeśli jakieś się pojawiły - one zwykle siedzą w danych, nie w programie. Zanim cokolwiek "
        L"usuniesz, zajrzyj na naszą stronę <a href=\"https://www.tev.pl\">www.tev.pl</a> albo napisz do nas: "
        L"chętnie pomożemy.<br><br>Wybierz, co chcesz zrobić, i naciśnij <b>Start</b>.");
    rbWywalWszystko = Place<THTMLRadioButton>(
        pDzienDobry, 8, 132, kPageWidth - 8, 36,
        L"<b>wywal wszystko</b>     czyli usuń programy, bazy danych, skróty, wpisy w Rejestrze i wszystko inne, co "
        L"kojarzy się z TEV");
    rbWywalZbedne = Place<THTMLRadioButton>(
        pDzienDobry, 8, 178, kPageWidth - 8, 36,
        L"<b>usuń zbędne elementy</b>   usuń wszystko, co można bezpiecznie usunąć - pliki kopii zapasowych, "
        L"duplikaty baz danych etc.");
    rbWywalNiektore = Place<THTMLRadioButton>(
        pDzienDobry, 8, 224, kPageWidth - 8, 36,
        L"<b>usuń niektóre komponenty</b>     sam wybiorę, które programy i bazy danych chcę usunąć ");
    rbWywalNiektore->SetChecked(true);

    BuildListPage(nb->AddPage(L" Programy "), CleanupPage::Programy, bProgramyWszystkie, L"Zaznacz wszystkie",
                  bProgramyStare, L"Tylko instalowane dawniej niż tydzień", lbProgramy, lbSumaProgramy);
    BuildListPage(nb->AddPage(L" Skróty "), CleanupPage::Skroty, bSkrotyWszystkie, L"Zaznacz wszystkie", bSkrotyZbedne,
                  L"Zbędne skróty", lbSkroty, lbSumaSkrotow);
    BuildListPage(nb->AddPage(L" Kopie zapasowe "), CleanupPage::KopieZapasowe, bKopieWszystkie, L"Zaznacz wszystkie",
                  bKopieStarszeNIz2tygodnie, L"Tylko starsze niż tydzień", lbKopieZapasowe, lbSumaKopieZapasowe);
    BuildListPage(nb->AddPage(L" Bazy danych "), CleanupPage::BazyDanych, bBazyWszystkie, L"Zaznacz wszystkie",
                  bBazyNieUzywane, L"Tylko nie używane", lbBazyDanych, lbSumaBazyDanych);
    BuildListPage(nb->AddPage(L" Pliki konfiguracyjne "), CleanupPage::PlikiINI, bPlikiIniWszystkie,
                  L"Zaznacz wszystkie", bPlikiIniNieUzywane, L"Tylko nie używane", lbPlikiINI, lbSumaPlikiINI);

    bProgramyWszystkie->OnClick = bProgramyStare->OnClick = [this](Control* s) { bProgramyWszystkieClick(s); };
    bSkrotyWszystkie->OnClick = bSkrotyZbedne->OnClick = [this](Control* s) { bSkrotyWszystkieClick(s); };
    bKopieWszystkie->OnClick = bKopieStarszeNIz2tygodnie->OnClick = [this](Control* s) {
        bKopieStarszeNIz2tygodnieClick(s);
    };
    bBazyWszystkie->OnClick = bBazyNieUzywane->OnClick = [this](Control* s) { bBazyWszystkieClick(s); };
    bPlikiIniWszystkie->OnClick = bPlikiIniNieUzywane->OnClick = [this](Control* s) { bPlikiIniWszystkieClick(s); };
    lbProgramy->OnClickCheck = [this](Control*) { lbProgramyClickCheck(); };
    lbSkroty->OnClickCheck = [this](Control*) { lbSkrotyClickCheck(); };
    lbKopieZapasowe->OnClickCheck = [this](Control*) { lbKopieZapasoweClickCheck(); };
    lbBazyDanych->OnClickCheck = [this](Control*) { lbBazyDanychClickCheck(); };
    lbPlikiINI->OnClickCheck = [this](Control*) { lbPlikiINIClickCheck(); };

    // " Podsumowanie "
    Panel* pPodsumowanie = nb->AddPage(L" Podsumowanie ");
    cbUsunMyself = pPodsumowanie->Add<THTMLCheckBox>(L"<b>usuń Vorozidea,</b> bo już nie jest potrzebny");
    cbUsunMyself->SetBounds(0, 0, kPageWidth, 22);
    cbUsunMyself->SetAlign(Align::Bottom);
    lbSumaPodsumowania = Place<THTMLabel>(pPodsumowanie, 0, 0, kPageWidth, 24, kTotalsStart);
    lbSumaPodsumowania->SetAlign(Align::Bottom);
    lbSumaPodsumowania->SetVAlignment(TVAlignment::tvaCenter);
    lbPodsumowanie = pPodsumowanie->Add<TtevHtmlCheckListBox>();
    lbPodsumowanie->Sorted = true;
    lbPodsumowanie->SetAlign(Align::Client);
    lbPodsumowanie->OnClickCheck = [this](Control*) { lbPodsumowanieClickCheck(); };

    ts->SetItems({L" Dzień dobry ", L" Programy ", L" Skróty ", L" Kopie zapasowe ", L" Bazy danych ",
                  L" Pliki konfiguracyjne ", L" Podsumowanie "});
    ts->SetNotebook(nb);
    bDalej->SetTabSetFlat(ts);
    bWstecz->SetTabSetFlat(ts);
    bDalej->SetBounds(140, 8, 472, 28);
    bWstecz->Loaded();
    bDalej->Loaded();

    fsSkroty.OnFileFind = [this](const std::wstring& f, const WIN32_FIND_DATAW& i) { fsSkrotyFileFind(f, i); };
    fsSkroty.OnChangeFolder = [this](const std::wstring& f, const WIN32_FIND_DATAW& i) { fsSkrotyChangeFolder(f, i); };
    fsSkroty.OnFinish = [this] { fsSkrotyFinish(); };
    ae.DelPathIfEmpty = true;

    OnShow = [this](Control*) { FormShow(); };
    FormCreate();
    CenterOnScreen();
}

Panel* TeVorozide_MainForm::BuildListPage(Panel* page, CleanupPage which, TtevColorButton*& all,
                                          const std::wstring& allCaption, TtevColorButton*& rule,
                                          const std::wstring& ruleCaption, TtevHtmlCheckListBox*& list,
                                          THTMLabel*& totals) {
    Panel* buttons = SidePanel(page, Align::Top, 34);
    all = Place<TtevColorButton>(buttons, 0, 0, 150, 26, allCaption);
    rule = Place<TtevColorButton>(buttons, 158, 0, 270, 26, ruleCaption);
    for (TtevColorButton* b : {all, rule}) b->SetColor(clTevCream);
    totals = Place<THTMLabel>(page, 0, 0, kPageWidth, 24, kTotalsStart);
    totals->SetAlign(Align::Bottom);
    totals->SetVAlignment(TVAlignment::tvaCenter);
    list = page->Add<TtevHtmlCheckListBox>();
    list->Sorted = true;
    list->SetAlign(Align::Client);
    pages_.push_back({which, list, totals, all, rule});
    return page;
}

TeVorozide_MainForm::ListPage& TeVorozide_MainForm::PageOf(CleanupPage page) {
    for (auto& p : pages_)
        if (p.page == page) return p;
    return pages_.front();
}

TeVorozide_MainForm::ListPage* TeVorozide_MainForm::PageOfList(TtevHtmlCheckListBox* list) {
    for (auto& p : pages_)
        if (p.list == list) return &p;
    return nullptr;
}

// ---------------------------------------------------------------- events

void TeVorozide_MainForm::FormCreate() {
    lbBiezacaData->SetText(LongDateText(Now()));
    cbUsunMyself->SetVisible(EndsWithNoCase(L"vorozide.exe", ExecutablePath()));
}

void TeVorozide_MainForm::FormShow() {
    ts->SetTabIndex(0);
    nb->SetPageIndex(0);
    bWstecz->Loaded();
    bDalej->Loaded();
    ShowStatus(L"Czekaj, właśnie sprawdzam, co można usunąć...");
    (rbWywalWszystko->Checked()   ? rbWywalWszystko
     : rbWywalZbedne->Checked()   ? rbWywalZbedne
                                  : rbWywalNiektore)
        ->SetFocus();
}

CleanupMode TeVorozide_MainForm::Mode() const {
    if (rbWywalWszystko->Checked()) return CleanupMode::RemoveEverything;
    if (rbWywalZbedne->Checked()) return CleanupMode::RemoveUnneeded;
    return CleanupMode::ChooseByHand;
}

void TeVorozide_MainForm::SetMode(CleanupMode mode) {
    rbWywalWszystko->SetChecked(mode == CleanupMode::RemoveEverything);
    rbWywalZbedne->SetChecked(mode == CleanupMode::RemoveUnneeded);
    rbWywalNiektore->SetChecked(mode == CleanupMode::ChooseByHand);
    // The focus, when on one of them, goes with the choice.
    THTMLRadioButton* chosen = mode == CleanupMode::RemoveEverything ? rbWywalWszystko
                               : mode == CleanupMode::RemoveUnneeded ? rbWywalZbedne
                                                                     : rbWywalNiektore;
    const HWND focus = GetFocus();
    for (THTMLRadioButton* b : {rbWywalWszystko, rbWywalZbedne, rbWywalNiektore})
        if (b != chosen && b->Handle() == focus) chosen->SetFocus();
}

void TeVorozide_MainForm::bDalejAfterDalej(int page) {
    switch (page) {
    case pgProgramy: SzukajProgramow(); break;
    case pgSkroty: SzukajSkrotow(); break;
    case pgKopieZapasowe: SzukajKopiiZapasowych(); break;
    case pgBazyDanych: SzukajBazDanych(); break;
    case pgPlikiINI: SzukajPlikowIni(); break;
    case pgPodsumowanie: PrzygotujPodsumowanie(); break;
    default: return;
    }
    // The keyboard goes on in the page's list, on its first item (Space
    // ticks or unticks the item the arrows reach).
    TtevHtmlCheckListBox* list = page == pgPodsumowanie ? lbPodsumowanie : PageOf(static_cast<CleanupPage>(page)).list;
    if (list->Count() > 0 && list->ItemIndex() < 0) list->SetItemIndex(0);
    list->SetFocus();
}

void TeVorozide_MainForm::bProgramyWszystkieClick(Control* sender) {
    if (sender == bProgramyStare) ApplyRule(CleanupPage::Programy);
    else CheckAll(CleanupPage::Programy);
}

void TeVorozide_MainForm::bKopieStarszeNIz2tygodnieClick(Control* sender) {
    if (sender == bKopieStarszeNIz2tygodnie) ApplyRule(CleanupPage::KopieZapasowe);
    else CheckAll(CleanupPage::KopieZapasowe);
}

void TeVorozide_MainForm::bSkrotyWszystkieClick(Control* sender) {
    if (sender == bSkrotyWszystkie) CheckAll(CleanupPage::Skroty);
    else ApplyRule(CleanupPage::Skroty);
}

void TeVorozide_MainForm::bBazyWszystkieClick(Control* sender) {
    if (sender == bBazyWszystkie) CheckAll(CleanupPage::BazyDanych);
    else ApplyRule(CleanupPage::BazyDanych);
}

void TeVorozide_MainForm::bPlikiIniWszystkieClick(Control* sender) {
    if (sender == bPlikiIniWszystkie) CheckAll(CleanupPage::PlikiINI);
    else ApplyRule(CleanupPage::PlikiINI);
}

void TeVorozide_MainForm::lbProgramyClickCheck() { UpdateTotals(CleanupPage::Programy); }
void TeVorozide_MainForm::lbSkrotyClickCheck() { UpdateTotals(CleanupPage::Skroty); }
void TeVorozide_MainForm::lbKopieZapasoweClickCheck() { UpdateTotals(CleanupPage::KopieZapasowe); }
void TeVorozide_MainForm::lbBazyDanychClickCheck() { UpdateTotals(CleanupPage::BazyDanych); }
void TeVorozide_MainForm::lbPlikiINIClickCheck() { UpdateTotals(CleanupPage::PlikiINI); }
void TeVorozide_MainForm::lbPodsumowanieClickCheck() { UpdateSummaryTotals(); }

// ------------------------------------------------------------ the items

std::wstring TeVorozide_MainForm::ItemPath(TtevHtmlCheckListBox* list, int index) {
    const std::wstring& item = list->Item(index);
    std::wstring hidden = HiddenData(item);
    return hidden.empty() ? item : hidden;
}

int TeVorozide_MainForm::IndexOfPath(TtevHtmlCheckListBox* list, const std::wstring& path) {
    for (int i = 0; i < list->Count(); ++i)
        if (SameTextNoCase(ItemPath(list, i), path)) return i;
    return -1;
}

std::vector<std::wstring> TeVorozide_MainForm::CheckedPaths(TtevHtmlCheckListBox* list) const {
    std::vector<std::wstring> paths;
    for (int i = 0; i < list->Count(); ++i)
        if (list->Checked(i)) paths.push_back(ItemPath(list, i));
    return paths;
}

void TeVorozide_MainForm::AddItem(CleanupPage page, const std::wstring& markup, const std::wstring& path,
                                  const ItemFacts& facts) {
    auto& known = facts_[static_cast<int>(page)];
    // Each file is listed once on its page.
    if (!known.emplace(Key(path), facts).second) return;
    PageOf(page).list->Add(markup);
}

ItemFacts TeVorozide_MainForm::CurrentFacts(CleanupPage page, const std::wstring& path) {
    auto& known = facts_[static_cast<int>(page)];
    auto it = known.find(Key(path));
    ItemFacts facts = it != known.end() ? it->second : ItemFacts{};
    facts.exists = FileExists(path);
    switch (page) {
    case CleanupPage::Programy: facts.written = LocalWriteTime(path); break;
    case CleanupPage::KopieZapasowe: facts.written = FileDateOf(path); break;
    case CleanupPage::Skroty: {
        facts.loadable = false;
        Guarded([&] {
            PBShellLink1.SetFileName(path);
            PBShellLink1.Load();
            facts.loadable = true;
            shortcutTargets_[Key(path)] = PBShellLink1.Target;
        });
        facts.targetChecked = false;
        const std::wstring target = shortcutTargets_[Key(path)];
        if (facts.loadable)
            for (const auto& program : CheckedPaths(lbProgramy))
                if (SamePath(program, target)) facts.targetChecked = true;
        break;
    }
    default: break;
    }
    return facts;
}

void TeVorozide_MainForm::ApplyMode(CleanupPage page) {
    ListPage& p = PageOf(page);
    const DateTimeValue now = Now();
    const CleanupMode mode = Mode();
    for (int i = 0; i < p.list->Count(); ++i)
        p.list->SetChecked(i, ModeTicks(page, mode, CurrentFacts(page, ItemPath(p.list, i)), now));
    UpdateTotals(page);
}

void TeVorozide_MainForm::ApplyRule(CleanupPage page) {
    ListPage& p = PageOf(page);
    const DateTimeValue now = Now();
    for (int i = 0; i < p.list->Count(); ++i)
        p.list->SetChecked(i, RuleTicks(page, CurrentFacts(page, ItemPath(p.list, i)), now));
    UpdateTotals(page);
}

void TeVorozide_MainForm::CheckAll(CleanupPage page) {
    ListPage& p = PageOf(page);
    for (int i = 0; i < p.list->Count(); ++i) p.list->SetChecked(i, true);
    UpdateTotals(page);
}

namespace {

// The checked items whose file exists, and their size.
std::pair<int, std::int64_t> CheckedTotals(TtevHtmlCheckListBox* list) {
    int count = 0;
    std::int64_t bytes = 0;
    for (int i = 0; i < list->Count(); ++i) {
        if (!list->Checked(i)) continue;
        std::int64_t size = FileSizeOf(TeVorozide_MainForm::ItemPath(list, i));
        if (size < 0 || !FileExists(TeVorozide_MainForm::ItemPath(list, i))) continue;
        ++count;
        bytes += size;
    }
    return {count, bytes};
}

}  // namespace

void TeVorozide_MainForm::UpdateTotals(CleanupPage page) {
    ListPage& p = PageOf(page);
    auto [count, bytes] = CheckedTotals(p.list);
    p.totals->SetHTML(TotalsText(count, bytes));
}

void TeVorozide_MainForm::UpdateSummaryTotals() {
    auto [count, bytes] = CheckedTotals(lbPodsumowanie);
    lbSumaPodsumowania->SetHTML(SummaryText(count, bytes));
}

// ------------------------------------------------------------- builders

std::vector<std::wstring> TeVorozide_MainForm::PathValueNames() const {
    std::vector<std::wstring> names, user;
    RegValueNames(kLocalMachine, kTablePathsKey, names);
    // A standard user's programs record their paths under their own key.
    RegValueNames(kCurrentUser, kTablePathsKey, user);
    for (const auto& name : user)
        if (std::none_of(names.begin(), names.end(), [&](const std::wstring& n) { return SameTextNoCase(n, name); }))
            names.push_back(name);
    return names;
}

std::wstring TeVorozide_MainForm::PathValue(const std::wstring& name) const {
    std::wstring value = RegReadValue(kLocalMachine, kTablePathsKey, name, L"");
    if (value.empty()) value = RegReadValue(kCurrentUser, kTablePathsKey, name, L"");
    return value;
}

void TeVorozide_MainForm::BuildPage(CleanupPage page, const std::wstring& status, const std::function<void()>& build) {
    if (!status.empty()) ShowStatus(status);
    SetEnabled(false);
    PageOf(page).list->Clear();
    facts_[static_cast<int>(page)].clear();
    Guarded(build);
    FinishProgress();
    SetEnabled(true);
    ApplyMode(page);
}

void TeVorozide_MainForm::SzukajProgramow() {
    BuildPage(CleanupPage::Programy, L"Szukam programów danych...", [this] {
        const std::wstring own = ExecutablePath();
        const DateTimeValue today = Now();
        for (const auto& name : PathValueNames())
            Guarded([&] {
                const std::wstring path = PathValue(name);
                if (path.empty() || !IsAbsolutePath(path) || !ContainsNoCase(L".exe", path) || !FileExists(path) ||
                    SamePath(path, own))
                    return;
                TNazwaAplikacji id = ReadAppIdentity(path);
                ProgramFacts p{id.IdentityText(), id.comments, path, id.fileDescription, FileSizeOf(path),
                               LocalWriteTime(path)};
                ItemFacts facts;
                facts.written = p.written;
                // Only the family's own programs are ever ticked without the user.
                facts.tevFile = IsTevCompany(id.companyName);
                AddItem(CleanupPage::Programy, ProgramItem(p, today), path, facts);
            });
    });
}

void TeVorozide_MainForm::SzukajSkrotow() {
    BuildPage(CleanupPage::Skroty, L"Wyszukuję skróty...", [this] {
        shortcutTargets_.clear();
        for (const auto& folder : places.shortcutFolders) {
            if (folder.empty()) continue;
            fsSkroty.SetSearchFile(WithBackslash(folder) + L"*.lnk");
            fsSkroty.RecurseSubFolders = true;
            // The walk returns after its OnFinish has set Stop.
            fsSkroty.Execute();
        }
    });
}

void TeVorozide_MainForm::fsSkrotyChangeFolder(const std::wstring& fullpath, const WIN32_FIND_DATAW&) {
    ShowStatus(L"Wyszukuję skróty... " + fullpath);
}

void TeVorozide_MainForm::fsSkrotyFileFind(const std::wstring& fullpath, const WIN32_FIND_DATAW& info) {
    Guarded([&] {
        const std::wstring folder = WithBackslash(fullpath);
        const std::wstring path = folder + info.cFileName;
        if (ContainsNoCase(L"recycle", folder) || !FileExists(path)) return;
        PBShellLink1.SetFileName(path);
        PBShellLink1.Load();
        const std::wstring target = PBShellLink1.Target;
        if (!ContainsNoCase(L"tev", target)) return;
        TNazwaAplikacji id = ReadAppIdentity(target);
        if (!IsTevCompany(id.companyName)) return;
        shortcutTargets_[Key(path)] = target;
        AddItem(CleanupPage::Skroty, ShortcutItem({id.productName, path, target, id.version, id.comments}), path, {});
    });
}

void TeVorozide_MainForm::fsSkrotyFinish() {
    ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    fsSkroty.Stop = true;
}

void TeVorozide_MainForm::SzukajKopiiZapasowych() {
    BuildPage(CleanupPage::KopieZapasowe, L"", [this] {
        const DateTimeValue today = Now();
        std::set<std::wstring> folders;
        for (const auto& name : PathValueNames()) {
            if (!ContainsNoCase(L"tts", name)) continue;
            Guarded([&] {
                const std::wstring value = PathValue(name);
                if (value.empty() || !IsAbsolutePath(value)) return;
                const std::wstring folder = DirectoryPart(value);
                if (!folders.insert(Key(folder)).second) return;
                // Small copies and emergency copies, by their long names.
                ListFolder(folder, [&](const WIN32_FIND_DATAW& data) {
                    if (!PlainFile(data) || !IsDataFileCopyName(data.cFileName)) return;
                    Guarded([&] {
                        const std::wstring path = folder + data.cFileName;
                        ItemFacts facts;
                        facts.written = FileDateOf(path);
                        AddItem(CleanupPage::KopieZapasowe, CopyItem(path, FileSizeOf(path), facts.written, today),
                                path, facts);
                    });
                });
            });
        }
    });
}

void TeVorozide_MainForm::SzukajBazDanych() {
    BuildPage(CleanupPage::BazyDanych, L"Szukam baz danych...", [this] {
        struct Entry {
            std::wstring path;
            bool inUse = false;
            bool tevFile = false;
        };
        std::map<std::wstring, Entry> entries;  // sorted by path
        const std::wstring nipFile = NipExceptionsFile(), ratesFile = InterestRatesFile();
        // The names the TEV programs give their data files.
        std::set<std::wstring> tevNames{Key(L"wyjatki.nip"), Key(L"odsetki.dat"), Key(FileNamePart(nipFile)),
                                        Key(FileNamePart(ratesFile))};
        for (int t = 0; t < kTableCount; ++t) tevNames.insert(Key(Table(t).defaultFileName));
        std::vector<std::wstring> folders;
        for (const auto& name : PathValueNames()) {
            if (!ContainsNoCase(L"tts", name)) continue;
            Guarded([&] {
                const std::wstring value = PathValue(name);
                if (value.empty() || !IsAbsolutePath(value)) return;
                tevNames.insert(Key(FileNamePart(value)));
                entries.emplace(Key(value), Entry{value, true, true});
                folders.push_back(DirectoryPart(value));
            });
        }
        // The other data files of the TEV programs' data folders; a file with
        // a table's name is one of theirs and counts as in use.
        std::set<std::wstring> seen;
        for (const auto& folder : folders) {
            if (!seen.insert(Key(folder)).second) continue;
            ListFolder(folder, [&](const WIN32_FIND_DATAW& data) {
                if (!PlainFile(data) || !MatchesMask(data.cFileName, L"*.dat") || IsDataFileCopyName(data.cFileName))
                    return;
                const std::wstring path = folder + data.cFileName;
                const bool named = tevNames.count(Key(data.cFileName)) > 0;
                const bool shared = SamePath(path, nipFile) || SamePath(path, ratesFile);
                entries.emplace(Key(path), Entry{path, named || shared, named || shared});
            });
        }
        const DateTimeValue today = Now();
        auto add = [&](const Entry& e) {
            Guarded([&] {
                if (!FileExists(e.path)) return;
                ItemFacts facts;
                facts.inUse = e.inUse;
                facts.tevFile = e.tevFile;
                AddItem(CleanupPage::BazyDanych, FileItem(e.path, FileSizeOf(e.path), FileDateOf(e.path), today, e.inUse),
                        e.path, facts);
            });
        };
        for (const auto& [key, e] : entries) add(e);
        // The shared files anywhere on the drives: the one the programs use,
        // and copies of it.
        for (auto [mask, file] : {std::pair{L"wyjatki.nip", nipFile}, std::pair{L"odsetki.dat", ratesFile}}) {
            std::vector<std::wstring> found;
            FindFiles(found, mask, places.driveFolders, true);
            for (const auto& path : found) add(Entry{path, SamePath(path, file), true});
        }
    });
}

void TeVorozide_MainForm::SzukajPlikowIni() {
    BuildPage(CleanupPage::PlikiINI, L"Szukam plików Ini...", [this] {
        const DateTimeValue today = Now();
        auto add = [&](const std::wstring& path, bool inUse) {
            ItemFacts facts;
            facts.inUse = inUse;
            AddItem(CleanupPage::PlikiINI, FileItem(path, FileSizeOf(path), FileDateOf(path), today, inUse), path,
                    facts);
        };
        std::vector<std::wstring> found;
        FindFiles(found, L"tev.ini", places.driveFolders, true);
        for (const auto& path : found) Guarded([&] { add(path, SamePath(path, SharedSettingsFile())); });
        // "X.exe.ini" belongs to a TEV program only when X.exe is one; the
        // program still there still uses it.
        FindFiles(found, L"*.exe.ini", places.driveFolders, true);
        for (const auto& path : found)
            Guarded([&] {
                const std::wstring program = path.substr(0, path.size() - 4);
                if (!FileExists(program) || !IsTevCompany(ReadAppIdentity(program).companyName)) return;
                add(path, true);
            });
    });
}

void TeVorozide_MainForm::PrzygotujPodsumowanie() {
    ShowStatus(L"Przygotowuję podsumowanie...");
    lbPodsumowanie->Clear();
    std::vector<std::wstring> checked;
    for (TtevHtmlCheckListBox* list : {lbProgramy, lbSkroty, lbBazyDanych, lbKopieZapasowe, lbPlikiINI})
        for (auto& path : CheckedPaths(list)) checked.push_back(path);
    // A file checked on two pages is one file to delete.
    for (const auto& path : SummaryPaths(checked)) {
        int index = lbPodsumowanie->Add(path);
        lbPodsumowanie->SetChecked(index, true);
    }
    cbUsunMyself->SetChecked(Mode() == CleanupMode::RemoveEverything);
    UpdateSummaryTotals();
    FinishProgress();
}

// ------------------------------------------------------------- deletion

void TeVorozide_MainForm::bDalejAfterFastEnd() {
    auto [count, bytes] = CheckedTotals(lbPodsumowanie);
    if (!Ask(DeletionQuestion(count, bytes), Question::Destructive)) return;
    ShowStatus(L"Usuwam pliki...");
    DeleteSummary();
    FinishProgress();
    // Only a removal the user can see offered, and kept checked, happens.
    if (cbUsunMyself->Visible() && cbUsunMyself->Checked() && !RemoveMyself()) return;
    SetModalResult(mrOk);
}

void TeVorozide_MainForm::DeleteSummary() {
    const std::vector<std::wstring> running = RunningImagePaths();
    std::vector<std::wstring> stillRunning;
    int deleted = 0;
    std::int64_t total = 0;
    const int n = lbPodsumowanie->Count();
    for (int i = 0; i < n; ++i) {
        if (!lbPodsumowanie->Checked(i)) continue;
        ShowProgress(i, n - 1);
        Guarded([&] {
            const std::wstring path = ItemPath(lbPodsumowanie, i);
            // Only a file, by its full path, exactly as listed.
            if (!IsAbsolutePath(path) || !FileExists(path)) return;
            if (IsRunningProgram(path, running)) {
                TNazwaAplikacji id = ReadAppIdentity(path);
                stillRunning.push_back((id.productName.empty() ? FileNamePart(path) : id.productName) + L" (" + path +
                                       L")");
                return;
            }
            if (const auto& ensure = CurrentCleanupSide().ensureWritable) ensure(path);
            const std::int64_t size = FileSizeOf(path);
            TFileOperation op(this);
            op.Operation = TFileOp::foDelete;
            op.FilesFrom = {path};
            op.Flags = {TFileOpFlag::fofAllowUndo, TFileOpFlag::fofNoConfirmation, TFileOpFlag::fofSilent,
                        TFileOpFlag::fofNoErrorUI};
            if (op.Execute() && !FileExists(path)) {
                ++deleted;
                total += std::max<std::int64_t>(size, 0);
            }
        });
    }
    UpdateSummaryTotals();
    std::wstring text = DeletedText(deleted, total);
    if (!stillRunning.empty()) {
        text += L"\r\nUruchomionego programu nie można usunąć. Zamknij go i uruchom porządki jeszcze raz:";
        for (const auto& name : stillRunning) text += L"\r\n" + name;
    }
    Ask(text);
}

bool TeVorozide_MainForm::RemoveMyself() {
    if (!Ask(L"Vorozide za chwilę usunięty z systemu. Czy aby na pewno?\r\nA może jednak zachować program na "
             L"przyszłość...",
             Question::Destructive))
        return false;
    Guarded([] {
        RegDeleteKey(kLocalMachine, std::wstring(kUninstallKey) + L"Vorozide");
        RegDeleteKey(kLocalMachine, std::wstring(kUninstallKey) + L"TEV");
    });
    const std::wstring program = ExecutablePath();
    ae.Files = {FileNamePart(program)};
    ae.Path = LowerCase(DirectoryPart(program));
    ae.DelPathIfEmpty = true;
    selfRemovalStarted_ = ae.Execute();
    if (!selfRemovalStarted_)
        Ask(L"!Nie udało się przygotować usunięcia programu.\r\nPo jego zamknięciu usuń plik ręcznie:\r\n" + program);
    return true;
}
