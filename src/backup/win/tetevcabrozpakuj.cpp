#include "backup/win/tetevcabrozpakuj.h"

#include <shlobj.h>

#include "backup/largebackuprules.h"
#include "interact/ask.h"
#include "interact/progress.h"
#include "ui/kit/win/formkit.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/textfields.h"
#include "util/textmarkup.h"
#include "util/win/busycursor.h"
#include "util/win/files.h"
#include "util/win/tablepaths.h"
#include "util/win/writable.h"

namespace {

constexpr wchar_t kNotice[] =
    L"Jeśli aktualnie są uruchomione jakieś inne programy TEV, zakmnij je teraz - inaczej odtwarzanie danych się "
    L"nie powiedzie.";
constexpr wchar_t kConfirmation[] =
    L"Czy odtworzyć plik z kopii zapasowej? Aktualna zawartość tego pliku zostanie utracona!\r\n";

// A name beside the target that no mask of the program matches.
std::wstring TemporaryBeside(const std::wstring& target) {
    static unsigned counter = 0;
    return DirectoryPart(target) + L"~Archiwin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".tmp";
}

// Every table's place: the one resolved in this run, else the one it would
// resolve to, found without searching and recorded nowhere.
TablePathSet EveryTablePath() {
    TablePathSet paths = CurrentTablePaths();
    for (int table = 0; table < kTableCount; ++table)
        if (paths[table].empty()) paths[table] = LocateTablePath(table);
    return paths;
}

}  // namespace

bool RestoreFromLargeBackup(const std::wstring& path) {
    if (!FileExists(path)) RaiseError(L"Plik nie istnieje!\r\n" + path);
    TeTevCabRozpakuj dialog(path);
    dialog.ShowModal();
    return dialog.Restored;
}

TeTevCabRozpakuj::TeTevCabRozpakuj(const std::wstring& path) : Form(BorderStyle::Dialog), BackupPath(path) {
    SetCaption(L"Opcje kopii zapasowych");
    SetColor(clWhite);
    SetFont(WindowFont());
    SetClientSize(580, 430);

    pnPasek = Add<TtevPanel>();
    pnPasek->SetParentColor(false);
    pnPasek->SetColor(clTevSage);
    pnPasek->SetWidth(28);
    pnPasek->SetAlign(Align::Left);
    pnPasek->SetBorderWidth(2);
    auto* picture = pnPasek->Add<Image>();
    picture->SetHeight(28);
    picture->SetAlign(Align::Top);
    picture->SetIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                                   picture->Px(16), picture->Px(16), LR_DEFAULTCOLOR)),
                     16);

    pnTresc = SidePanel<TtevPanel>(this, Align::Client);
    pnTresc->SetBorderWidth(8);
    lbNazwaKopii = pnTresc->Add<Label>();
    lbNazwaKopii->SetHeight(20);
    lbNazwaKopii->SetAlign(Align::Top);
    lbNazwaKopii->SetVerticalCenter(true);
    MakeBold(lbNazwaKopii);
    // A long path keeps its drive and its file name; the whole path is then
    // the hint.
    lbNazwaKopii->SetEllipsis(Label::Ellipsis::Path);
    lbPytanie = pnTresc->Add<Label>(L"Które pliki z tej kopii chcesz odtworzyć?");
    lbPytanie->SetHeight(20);
    lbPytanie->SetAlign(Align::Top);
    lbPytanie->SetVerticalCenter(true);

    pnDol = SidePanel<TtevPanel>(pnTresc, Align::Bottom, 33);
    bZamknij = pnDol->Add<TtevColorButton>(TtevButtonKind::bkClose);
    bZamknij->SetModalResult(mrCancel);
    bZamknij->SetBounds(0, 8, 90, 25);
    bOdtworz = pnDol->Add<TtevColorButton>(L"&Odtwórz zaznaczone pliki");
    bOdtworz->SetBounds(580 - 28 - 16 - 180, 8, 180, 25);
    bOdtworz->SetDefault(true);
    bOdtworz->OnClick = [this](Control* s) { bOdtworzClick(s); };

    lbPliki = pnTresc->Add<TtevHtmlCheckListBox>();
    lbPliki->Sorted = false;  // the items stand in the archive's order
    lbPliki->SetAlign(Align::Client);
    lbPliki->OnAnchorClick = [this](Control* s, int index, const std::wstring& anchor) {
        lbPlikiAnchorClick(s, index, anchor);
    };

    OnShow = [this](Control* s) { FormShow(s); };
    CenterOnScreen();
}

void TeTevCabRozpakuj::FormShow(Control*) {
    ProgressScope progress;
    ShowStatus(L"Odczytuję zawartość|" + BackupPath);
    lbNazwaKopii->SetText(BackupPath);
    CABFile1.CABFile = BackupPath;
    CABFile1.ReadContents();
    const std::wstring problem = CABFile1.LastError;

    const TablePathSet paths = EveryTablePath();
    SendMessageW(lbPliki->Handle(), WM_SETREDRAW, FALSE, 0);
    lbPliki->Clear();
    const TCABFileContents& entries = CABFile1.CABFileContents;
    for (int i = 0; i < entries.Count(); ++i) {
        const TCABFileEntry& entry = entries.Items(i);
        lbPliki->Add(BackupEntryItem(entry.Name, TargetForFile(entry.Name, paths), TableIdForFile(entry.Name, paths),
                                     entry.FileDate, entry.Size));
    }
    SendMessageW(lbPliki->Handle(), WM_SETREDRAW, TRUE, 0);
    lbPliki->Invalidate();
    if (lbPliki->Count() > 0) lbPliki->SetItemIndex(0);
    lbPliki->SetFocus();
    FinishProgress();
    if (!problem.empty()) Ask(L"!Nie mogę odczytać tej kopii zapasowej.\r\n" + BackupPath + L"\r\n" + problem);
}

bool TeTevCabRozpakuj::RestoreEntry(int index, const std::wstring& target, const std::wstring& confirmation) {
    const TCABFileContents& entries = CABFile1.CABFileContents;
    if (index < 0 || index >= entries.Count()) RaiseError(L"Nie znalazłem pliku w archiwum!");
    const std::wstring name = entries.Items(index).Name;
    if (target.empty()) {
        Ask(L"!Nie wiem, gdzie odtworzyć plik " + name +
            L".\r\nTen plik nie należy do żadnej znanej tabeli danych ani do plików wspólnych naszych programów. "
            L"Pomijam go.");
        return false;
    }
    if (!Ask(confirmation, Question::Destructive)) return false;

    BusyCursor busy;
    const std::wstring directory = DirectoryPart(target);
    if (!DirectoryExists(directory)) SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);
    // The current file stays whole until the restored one is complete.
    const std::wstring temporary = TemporaryBeside(target);
    bool extracted = false;
    {
        // A table of a hundred MB takes a while: its progress is shown.
        ProgressScope progress;
        ShowStatus(L"Odtwarzam plik|" + name);
        CABFile1.OnDecompressProgress = [](TCABFile*, const std::wstring&, int written, int size) {
            UpdateProgress(written, size);
        };
        extracted = CABFile1.ExtractEntryAs(index, temporary);
        CABFile1.OnDecompressProgress = nullptr;
    }
    if (!extracted) RaiseError(L"Nie udało się odtworzyć pliku!\r\n" + name + L"\r\n" + CABFile1.LastError);

    std::wstring destination = target;
    if (FileNamePart(name) != FileNamePart(target) &&
        !Ask(L"Czy zamienić nazwę?\r\n" + name + L"\r\n" + target, Question::Destructive))
        destination = directory + FileNamePart(name);
    // A name that differs in letter case only is the target itself.
    const bool replacesTarget = SameTextNoCase(destination, target);
    // A target the user keeps read-only stays whole.
    if (replacesTarget && !EnsureWritable(target)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replacesTarget ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), destination.c_str(), flags)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        if (!replacesTarget) {
            Ask(L"!Zamiana się nie udała!\r\nNie mogę zapisać pliku z kopii jako " + destination + L" (" +
                SystemErrorText(error) + L"). Plik " + target + L" pozostał bez zmian.");
            return false;
        }
        RaiseError(L"Nie udało się odtworzyć pliku!\r\n" + name + L"\r\n" + target + L"\r\n" + SystemErrorText(error));
    }
    if (!replacesTarget) {
        Ask(L"*Plik z kopii zapisałem jako " + destination + L".\r\nPlik " + target + L" pozostał bez zmian.");
        return false;
    }
    Ask(L"Plik odtworzono pomyślnie.");
    Restored = true;
    return true;
}

void TeTevCabRozpakuj::bOdtworzClick(Control*) {
    Ask(kNotice);
    if (lbPliki->CheckedCount() == 0) RaiseError(L"Wybierz jakieś pliki do odtworzenia!");
    int restored = 0;
    for (int i = 0; i < lbPliki->Count(); ++i) {
        if (!lbPliki->Checked(i)) continue;
        const std::wstring target = FieldAt(L'|', 2, HiddenData(lbPliki->Item(i)));
        if (RestoreEntry(i, target, kConfirmation + lbPliki->Item(i))) ++restored;
    }
    if (restored == 0) {
        Ask(L"Nie udało się odtworzyć żadnych plików!");
        return;
    }
    SetModalResult(mrOk);
    Ask(L"!Liczba odtworzonych plików: " + std::to_wstring(restored) + L"\r\n" +
        L"Aby odtworzone pliki zostały zachowane, program musi teraz zakończyć pracę.");
}

void TeTevCabRozpakuj::lbPlikiAnchorClick(Control*, int index, const std::wstring& anchor) {
    Ask(kNotice);
    const std::wstring name = FieldAt(L'|', 1, anchor);
    const std::wstring target = FieldAt(L'|', 2, anchor);
    RestoreEntry(index, target,
                 kConfirmation + name + L"\r\n" + L"   jako    " + L"\r\n" + target);
}
