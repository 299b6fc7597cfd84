#include <windows.h>
#include <commctrl.h>

#include "backup/win/teopcjekopiizapasowych.h"

#include <vector>

#include "backup/largebackuprules.h"
#include "backup/restorelist.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "interact/ask.h"
#include "interact/seam.h"
#include "ui/kit/win/formkit.h"
#include "util/failure.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"

namespace {

constexpr wchar_t kHeader[] =
    L"<b>Opcje kopii zapasowych.</b> Podane ustawienia dotyczą wszystkich naszych programów.<br>";
constexpr wchar_t kDuzeKopie[] =
    L"wykonuj <b>duże kopie</b> zapasowe<br><font size=\"7\">zawierają wszystkie dane naszych programów, "
    L"modyfikowalne przez użytkownika. Te kopie mają nazwę \"tevKopiaZapasowaDataGodzina.cab\" i przechowywane są "
    L"w osobnym katalogu.";
constexpr wchar_t kUsuwajAutomatycznie[] =
    L"usuwaj <b>automatycznie</b> stare kopie<br><font size=\"7\">wystarczy, że będziesz miał 2 lub 3 ostatnie "
    L"kopie zapasowe. Aby zachować kopię, zmień jej nazwę.";
constexpr wchar_t kZapytaj[] =
    L"<b>zapytaj</b>, czy usunąć stare kopie<br><font size=\"7\">program za każdym razem zapyta, czy usunąć kopie. "
    L"Na dłuższą metę może to być irytujące.";
constexpr wchar_t kNieUsuwaj[] =
    L"<b>nie usuwaj</b> starych kopii<br><font size=\"7\">Sam musisz pamiętać o usuwaniu zbędnych kopii - każda "
    L"zajmuje przecież miejsce na dysku!";
constexpr wchar_t kOpisDuze[] =
    L"<b>Duże kopie zapasowe</b> zawierają wszystkie dane naszych programów, które może zmieniać użytkownik. "
    L"Zawsze miej przynajmniej jedną taką kopię.<br><br>Kopie mają nazwy w rodzaju "
    L"\"tevKopiaZapasowa_ Data_ Godzina.cab\" i mogą leżeć w dowolnym folderze, do którego program może "
    L"zapisywać. Zalecamy folder na dysku lokalnym, na przykład \"Moje dokumenty\".<br><br>"
    L"Ustawienie ścieżki dotyczy wszystkich naszych programów.";
constexpr wchar_t kMaleKopie[] =
    L"wykonuj <b>małe kopie</b> zapasowe<br><font size=\"7\">są duplikatami odpowiednich plików i znajdują się "
    L"tam, gdzie one. Mają nazwę \"kopia numer nazwa_pliku.dat\". Ułatwiają odtworzenie danych w razie potrzeby. "
    L"Tworzone są przy każdym zapisywaniu danych.";
constexpr wchar_t kUsuwajMaleAutomatycznie[] =
    L"usuwaj <b>automatycznie</b> stare kopie<br><font size=\"7\">tu wystarczy, że będziesz miał jedną kopię "
    L"zapasową, jeśli wykonujesz również duże kopie. Jeśli nie, staraj się mieć kopie z ostatnich 2-3 tygodni.";
constexpr wchar_t kOpisMale[] =
    L"<b>Małe kopie zapasowe</b> są duplikatami odpowiednich plików i znajdują się tam, gdzie one. Mają nazwę "
    L"\"kopia numer nazwa_pliku.dat\". Ułatwiają odtworzenie danych w razie potrzeby.";
constexpr wchar_t kBackup[] = L"przed próbą odtworzenia zrób kopię aktualnie istniejących danych";

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 484;
constexpr int kSideWidth = 190;

// An empty strip between two rows of a page.
void Gap(WinControl* parent, int height) {
    auto* gap = parent->Add<Label>();
    gap->SetHeight(height);
    gap->SetAlign(Align::Top);
}

template <typename T, typename... Args>
T* Row(WinControl* parent, int height, Args&&... args) {
    T* c = parent->Add<T>(std::forward<Args>(args)...);
    c->SetHeight(height);
    c->SetAlign(Align::Top);
    return c;
}

// The page's column of settings beside its cream side text.
Panel* SettingsColumn(Panel* page, THTMLabel*& sideText, const wchar_t* sideMarkup) {
    auto* side = SidePanel<TtevPanel>(page, Align::Right, kSideWidth);
    side->SetParentColor(false);
    side->SetColor(clTevCream);
    side->SetBorderWidth(10);
    sideText = side->Add<THTMLabel>(sideMarkup);
    sideText->SetAlign(Align::Client);
    auto* column = SidePanel<TtevPanel>(page, Align::Client);
    column->SetBorderWidth(10);
    return column;
}

int DaysOf(TtevNumberEdit* edit, int previous) {
    return BackupDaysFromText(edit->NumberText()).value_or(previous);
}

}  // namespace

bool ShowBackupOptions() {
    TeOpcjeKopiiZapasowych dialog;
    const int result = dialog.ShowModal();
    dialog.FormDestroy(&dialog);
    if (dialog.EndRequested) {
        // The program ends the normal way: its main window closes.
        if (Form* main = Form::Main()) PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
    }
    return result == mrOk;
}

TeOpcjeKopiiZapasowych::TeOpcjeKopiiZapasowych() : Form(BorderStyle::Dialog) {
    SetCaption(L"Opcje kopii zapasowych");
    SetColor(clWhite);
    SetFont(WindowFont());
    SetClientSize(kClientWidth, kClientHeight);

    auto* top = SidePanel<TtevPanel>(this, Align::Top, 30);
    top->SetBorderWidth(8);
    lbNaglowek = top->Add<THTMLabel>(kHeader);
    lbNaglowek->SetAlign(Align::Client);

    auto* strip = SidePanel<TtevPanel>(this, Align::Top, 26);
    strip->SetBorderWidth(0);
    tabStrip_ = strip;
    pc = strip->Add<TtevTabSet>();
    pc->SetTabs({L"Duże kopie", L"Małe kopie", L"Odtwarzanie danych"});
    pc->SetAlign(Align::Client);
    pc->OnClick = [this](Control* s) { pcChange(s); };

    nbStrony = Add<Notebook>();
    nbStrony->SetAlign(Align::Client);
    tsDuze = nbStrony->AddPage(L"tsDuze");
    tsMale = nbStrony->AddPage(L"tsMale");
    tsOdtwarzanie = nbStrony->AddPage(L"tsOdtwarzanie");

    // Large backups.
    Panel* column = SettingsColumn(tsDuze, lbOpisDuze, kOpisDuze);
    cbDuzeKopie = Row<THTMLCheckBox>(column, 40, kDuzeKopie);
    Gap(column, 2);
    ceDuzeKopieCoDni = Row<TtevNumberEdit>(column, 25, L"twórz nową kopię zapasową co ", L" dni");
    ceDuzeKopieCoDni->SetRange(0, kMaxBackupDays);
    Gap(column, 6);
    auto* removal = Row<TtevPanel>(column, 120);
    cbUsuwajDuzeKopieAutomaytcznie = Row<THTMLRadioButton>(removal, 36, kUsuwajAutomatycznie);
    cbUsuwajDuzeKopieZapytaj = Row<THTMLRadioButton>(removal, 36, kZapytaj);
    cbUsuwajDuzeKopieNieUsuwaj = Row<THTMLRadioButton>(removal, 36, kNieUsuwaj);
    ceUsuwajDuzeKopieStarszeNiz = Row<TtevNumberEdit>(column, 25, L"usuwaj kopie starsze niż ", L" dni");
    ceUsuwajDuzeKopieStarszeNiz->SetRange(0, kMaxBackupDays);
    Gap(column, 8);
    lbLokalizacja = Row<TtevClickableLabel>(column, 18, L"&Lokalizacja kopii zapasowych...    ");
    lbLokalizacja->SetParentColor(true);
    lbLokalizacja->DropArrowRight = true;
    lbLokalizacja->Hover = true;
    lbLokalizacja->ActAsComboToEdit = true;
    lbLokalizacja->SetDropDownMenu(&pmSciezki);
    Gap(column, 2);
    deLokalizacja = Row<TtevDirectoryEdit>(column, 21);
    deLokalizacja->DialogTitle = L"Lokalizacja kopii zapasowych";
    lbLokalizacja->FocusControl = deLokalizacja->EditControl();
    lbNiedostepna = Row<Label>(column, 28);
    lbNiedostepna->SetWordWrap(true);
    lbNiedostepna->EditFont().color = Rgb(192, 0, 0);
    lbNiedostepna->FontChanged();
    lbNiedostepna->SetVisible(false);
    Gap(column, 4);
    auto* buttons = Row<TtevPanel>(column, 25);
    bAnuluj = buttons->Add<TtevColorButton>(L"Pokaż zawartość folderu...");
    bAnuluj->SetBounds(0, 0, 170, 25);
    bAnuluj->OnClick = [this](Control* s) { bAnulujClick(s); };

    // Small copies.
    column = SettingsColumn(tsMale, lbOpisMale, kOpisMale);
    cbMaleKopie = Row<THTMLCheckBox>(column, 40, kMaleKopie);
    Gap(column, 8);
    removal = Row<TtevPanel>(column, 80);
    cbUsuwajMaleKopieAutomatycznie = Row<THTMLRadioButton>(removal, 36, kUsuwajMaleAutomatycznie);
    cbUsuwajMaleKopieNieUsuwaj = Row<THTMLRadioButton>(removal, 36, kNieUsuwaj);
    ceUsuwajMaleKopieStarszeNiz = Row<TtevNumberEdit>(column, 25, L"usuwaj kopie starsze niż ", L" dni");
    ceUsuwajMaleKopieStarszeNiz->SetRange(0, kMaxBackupDays);

    // Restoring.
    auto* restore = SidePanel<TtevPanel>(tsOdtwarzanie, Align::Client);
    restore->SetBorderWidth(10);
    lbDostepneKopie = Row<THTMLabel>(restore, 22);
    cbBackup = restore->Add<THTMLCheckBox>(kBackup);
    cbBackup->SetHeight(24);
    cbBackup->SetAlign(Align::Bottom);
    lbKopieZapasowe = restore->Add<TtevHTMListbox>();
    lbKopieZapasowe->SetAlign(Align::Client);
    lbKopieZapasowe->OnAnchorClick = [this](Control* s, int index, const std::wstring& anchor) {
        lbKopieZapasoweAnchorClick(s, index, anchor);
    };

    Panel* foot = SidePanel<TtevPanel>(this, Align::Bottom, 37);
    foot->SetBorderWidth(6);
    bZamknij = foot->Add<TtevColorButton>(TtevButtonKind::bkClose);
    bZamknij->SetAlign(Align::Client);
    bZamknij->SetDefault(true);
    // There is no cancelling: however the dialog is closed, it keeps what
    // it shows, and closing it counts as OK.
    OnClose = [this](Control*) {
        if (ModalResult() == mrNone) SetModalResult(mrOk);
    };

    OnShow = [this](Control* s) { FormShow(s); };
    CenterOnScreen();
    FormCreate(this);
}

void TeOpcjeKopiiZapasowych::FormCreate(Control*) {
    // The caption shows the path (an "&" doubled); the hint is what goes
    // into the edit.
    auto item = [this](const std::wstring& path) -> MenuItem& {
        std::wstring caption;
        for (wchar_t c : path) caption += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        MenuItem& added = pmSciezki.Add(L"", caption);
        added.hint = path;
        return added;
    };
    item(ProgramDir());
    pmSciezki.Add(L"", L"-");
    item(BackupDirectory()).isDefault = true;
    item(DocumentsDir());
    item(DesktopDir());
    FitHeights();
    pc->SetTabIndex(0);
    nbStrony->SetPageIndex(0);
}

void TeOpcjeKopiiZapasowych::FitHeights() {
    // The tabs alone with the line under them: a taller strip shows an empty
    // sliver of the tab control's page, more of it the larger the scaling.
    RECT row{};
    if (SendMessageW(pc->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) && row.bottom > 0) {
        const int height = pc->Units(row.bottom) + 2;
        if (height != tabStrip_->Height()) tabStrip_->SetHeight(height);
    }
    for (THTMLCheckBox* box : {cbDuzeKopie, cbMaleKopie}) box->AdjustHeight();
    for (auto group : {std::vector<THTMLCheckBox*>{cbUsuwajDuzeKopieAutomaytcznie, cbUsuwajDuzeKopieZapytaj,
                                                    cbUsuwajDuzeKopieNieUsuwaj},
                       std::vector<THTMLCheckBox*>{cbUsuwajMaleKopieAutomatycznie, cbUsuwajMaleKopieNieUsuwaj}}) {
        int height = 0;
        for (THTMLCheckBox* box : group) {
            box->AdjustHeight();
            height += box->Height();
        }
        group.front()->Parent()->SetHeight(height + 4);
    }
}

void TeOpcjeKopiiZapasowych::FormShow(Control*) {
    LoadBackupSettings();
    const BackupSettings& s = CurrentBackupSettings();
    const BackupLocation location = LocateBackupDirectory();
    // The location as the user chose it, also when it cannot be reached now.
    shownLocation_ = s.SciezkaKopiiZapasowych.empty() || s.SciezkaKopiiZapasowych == L"\\"
                         ? location.directory
                         : s.SciezkaKopiiZapasowych;
    deLokalizacja->SetDirectory(shownLocation_);
    if (location.fallback) {
        lbNiedostepna->SetText(L"Ten folder jest teraz niedostępny. Dopóki nie wróci, kopie zapasowe powstają w: " +
                               location.directory);
        lbNiedostepna->SetVisible(true);
    }
    cbDuzeKopie->SetChecked(s.WykonujDuzeKopie);
    ceDuzeKopieCoDni->SetNumber(s.DuzeKopieCoDni);
    // Both deletion flags set: deleting automatically is what happens, and
    // what is shown; the stored pair stays as it is unless the user changes
    // the choice.
    loadedAuto_ = s.KasujDuzeKopieAutomatycznie;
    loadedAsk_ = s.KasujDuzeKopieZapytaj;
    cbUsuwajDuzeKopieAutomaytcznie->SetChecked(s.KasujDuzeKopieAutomatycznie);
    if (!s.KasujDuzeKopieAutomatycznie) cbUsuwajDuzeKopieZapytaj->SetChecked(s.KasujDuzeKopieZapytaj);
    cbUsuwajDuzeKopieNieUsuwaj->SetChecked(!s.KasujDuzeKopieAutomatycznie && !s.KasujDuzeKopieZapytaj);
    ceUsuwajDuzeKopieStarszeNiz->SetNumber(s.KasujDuzeKopiePoDniach);
    cbMaleKopie->SetChecked(s.WykonujMaleKopie);
    cbUsuwajMaleKopieAutomatycznie->SetChecked(s.KasujMaleKopieAutomatycznie);
    cbUsuwajMaleKopieNieUsuwaj->SetChecked(!s.KasujMaleKopieAutomatycznie);
    ceUsuwajMaleKopieStarszeNiz->SetNumber(s.KasujMaleKopiePoDniach);
    cbBackup->SetChecked(true);
    pcChange(pc);
    cbDuzeKopie->SetFocus();
}

void TeOpcjeKopiiZapasowych::FormDestroy(Control*) {
    if (destroyed_) return;
    destroyed_ = true;
    BackupSettings& s = CurrentBackupSettings();
    const std::wstring typed = deLokalizacja->Directory();
    const std::wstring before = s.SciezkaKopiiZapasowych;
    if (typed != shownLocation_) {
        if (const std::optional<std::wstring> location = BackupLocationFromText(typed)) {
            s.SciezkaKopiiZapasowych = *location;
        } else {
            Ask(L"!Lokalizacja kopii zapasowych musi być pełną ścieżką folderu, na przykład D:\\Kopie\\ albo "
                L"\\\\serwer\\udział\\kopie\\.\r\nWpisana lokalizacja: " +
                typed + L"\r\nZostaje poprzednia: " + shownLocation_);
        }
    }
    s.WykonujDuzeKopie = cbDuzeKopie->Checked();
    s.KasujDuzeKopieAutomatycznie = cbUsuwajDuzeKopieAutomaytcznie->Checked();
    s.KasujDuzeKopieZapytaj = cbUsuwajDuzeKopieZapytaj->Checked() ||
                              (s.KasujDuzeKopieAutomatycznie && loadedAuto_ && loadedAsk_);
    s.WykonujMaleKopie = cbMaleKopie->Checked();
    s.KasujMaleKopieAutomatycznie = cbUsuwajMaleKopieAutomatycznie->Checked();
    s.DuzeKopieCoDni = DaysOf(ceDuzeKopieCoDni, s.DuzeKopieCoDni);
    s.KasujDuzeKopiePoDniach = DaysOf(ceUsuwajDuzeKopieStarszeNiz, s.KasujDuzeKopiePoDniach);
    s.KasujMaleKopiePoDniach = DaysOf(ceUsuwajMaleKopieStarszeNiz, s.KasujMaleKopiePoDniach);
    SaveBackupSettings();
    if (s.SciezkaKopiiZapasowych != before) {
        const BackupLocation location = LocateBackupDirectory();
        if (!location.fallback) RecordBackupDirectory(location.directory);
    }
}

void TeOpcjeKopiiZapasowych::pcChange(Control*) {
    nbStrony->SetPageIndex(pc->TabIndex());
    // A page gets its width when it is first shown.
    FitHeights();
    if (pc->TabIndex() == 2) FillBackupList();
}

void TeOpcjeKopiiZapasowych::FillBackupList() {
    const std::wstring directory = BackupDirectory();
    lbDostepneKopie->SetHTML(L"Kopie zapasowe dostępne w <b>" + MarkupLiteral(directory));
    const DateTimeValue today = Modal().Now();
    SendMessageW(lbKopieZapasowe->Handle(), WM_SETREDRAW, FALSE, 0);
    lbKopieZapasowe->Clear();
    for (const wchar_t* mask : {L"*tevKopia*.cab", L"*tevKopia*.tev"}) {
        for (const ListedFile& file : ListFiles(directory, mask)) {
            if (file.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            if (!IsListedBackupName(file.name)) continue;
            try {
                lbKopieZapasowe->Add(AvailableBackupItem(file.path, file.written, today, file.size));
            } catch (const Failure&) {
                // A file that cannot be described is left out.
            }
        }
    }
    SendMessageW(lbKopieZapasowe->Handle(), WM_SETREDRAW, TRUE, 0);
    lbKopieZapasowe->Invalidate();
    if (lbKopieZapasowe->Count() > 0 && lbKopieZapasowe->ItemIndex() < 0) lbKopieZapasowe->SetItemIndex(0);
}

void TeOpcjeKopiiZapasowych::bAnulujClick(Control*) {
    const std::wstring folder = deLokalizacja->Directory();
    if (!Modal().ShellOpen(folder, L"")) Ask(L"Nie mogę pokazać zawartości folderu.\r\n" + folder);
}

void TeOpcjeKopiiZapasowych::lbKopieZapasoweAnchorClick(Control*, int, const std::wstring& anchor) {
    const std::wstring path = anchor;
    if (!Ask(L"Czy spróbować odtworzyć dane z kopii zapasowej?\r\n" + path)) return;

    // The safety copy of the current data: made whatever the settings say.
    bool backup = cbBackup->Checked();
    if (!backup)
        backup = Ask(L"Wykonać kopię zapasową aktualnie istniejących danych na wypadek, gdyby coś poszło nie tak?");
    if (backup) {
        LargeBackupOptions options;
        options.report = true;
        options.evenWhenSwitchedOff = true;
        if (!MakeLargeBackup(options) &&
            !Ask(L"Nie udało się wykonać kopii zapasowej aktualnych danych. Czy mimo to odtworzyć dane z kopii?\r\n"
                 L"Jeśli coś pójdzie nie tak, aktualnych danych nie będzie można odzyskać.",
                 Question::Destructive))
            return;
    }

    const bool restored = RestoreFromLargeBackup(path);
    if (pc->TabIndex() == 2) FillBackupList();
    if (restored && Ask(L"Aby zachować integralność danych, zamknę teraz program.", Question::Destructive)) {
        EndRequested = true;
        SetModalResult(mrOk);
    }
}

bool TeOpcjeKopiiZapasowych::PreTranslate(MSG& msg) {
    if (msg.message == WM_KEYDOWN) {
        const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
        // Ctrl+Tab and Ctrl+Page Down: the next tab; with Shift, or Page Up: the previous one.
        if (control && (msg.wParam == VK_TAB || msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) {
            const bool back = msg.wParam == VK_PRIOR || (msg.wParam == VK_TAB && shift);
            const int count = static_cast<int>(pc->Tabs().size());
            pc->SetTabIndex((pc->TabIndex() + (back ? count - 1 : 1)) % count);
            return true;
        }
        // Enter on a listed backup: its link.
        if (msg.wParam == VK_RETURN && msg.hwnd == lbKopieZapasowe->Handle()) {
            const int index = lbKopieZapasowe->ItemIndex();
            if (index >= 0) {
                const std::wstring path = HiddenData(lbKopieZapasowe->Item(index));
                try {
                    lbKopieZapasoweAnchorClick(lbKopieZapasowe, index, path);
                } catch (...) {
                    HandleFailure(std::current_exception());
                }
                return true;
            }
        }
    }
    return Form::PreTranslate(msg);
}
