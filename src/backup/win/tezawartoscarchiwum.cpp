#include "backup/win/tezawartoscarchiwum.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "backup/entrypaths.h"
#include "backup/infovalues.h"
#include "backup/win/diskfiles.h"
#include "backup/win/infofile.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "ui/kit/win/formkit.h"
#include "util/numberwords.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/win/files.h"

namespace {

constexpr int kHeaderRows = 8;
constexpr int kCaptionWidth = 100;  // at least; wider when a caption needs it
constexpr int kHeaderWidth = 582;

// The height of one header row in 96-DPI units: the bold font's full line at
// the window's DPI (descenders and ogoneks included), rounded up.
int HeaderRowHeight(const Control& window) {
    Font bold = window.GetFont();
    bold.bold = true;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(bold, window.Dpi()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int dpi = window.Dpi();
    return (metrics.tmHeight * 96 + dpi - 1) / dpi + 1;
}

int TextWidthUnits(const Control& window, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(window.GetFont(), window.Dpi()));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_NOPREFIX | DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int dpi = window.Dpi();
    return (r.right * 96 + dpi - 1) / dpi;
}

TtevColorButton* ModeButton(WinControl* parent, const std::wstring& caption, int left, int width) {
    auto* b = parent->Add<TtevColorButton>(caption);
    b->SetBoldWhenDefault(false);  // a bold caption would not fit the button
    b->SetBounds(left, 4, width, 26);
    return b;
}

// The order of CompareStringW ignoring case, as bytes to compare.
std::string SortKey(const std::wstring& text) {
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int size = LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, nullptr, 0);
    std::string key(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, reinterpret_cast<wchar_t*>(key.data()), size);
    return key;
}

}  // namespace

TeZawartoscArchiwum::TeZawartoscArchiwum(const std::wstring& archivePath)
    : Form(BorderStyle::Dialog), ArchivePath(archivePath) {
    SetCaption(L"Zawartosc archiwum");
    SetColor(clWhite);
    SetFont(WindowFont());
    SetClientSize(610, 526);

    pnPasek = Add<TtevPanel>();
    pnPasek->SetColor(clTevYellow);
    pnPasek->SetWidth(28);
    pnPasek->SetAlign(Align::Left);

    // Everything beside the stripe, so that the stripe runs the full height.
    pnTresc = SidePanel<TtevPanel>(this, Align::Client);

    // The rows as high as the font needs; the header grows when they need
    // more than its designed 99.
    rowHeight_ = HeaderRowHeight(*this);
    captionWidth_ = kCaptionWidth;
    for (const wchar_t* caption : {L"Nazwa archiwum:", L"Ilość plików:", L"Rozmiar archiwum:", L"Rozmiar:",
                                   L"Kompresja:", L"Folder docelowy:", L"Komentarz:", L"Aplikacja:"})
        captionWidth_ = std::max(captionWidth_, TextWidthUnits(*this, caption) + 8);
    pnNaglowek = SidePanel<TtevPanel>(pnTresc, Align::Top, std::max(99, 2 + kHeaderRows * rowHeight_ + 3));
    eNazwaArchiwum = HeaderRow(0, L"Nazwa archiwum:");
    lbIlosc = HeaderRow(1, L"Ilość plików:");
    lbRozmiarArchiwum = HeaderRow(2, L"Rozmiar archiwum:");
    lbRozmiarPlikow = HeaderRow(3, L"Rozmiar:");
    lbKompresja = HeaderRow(4, L"Kompresja:");
    lbDest = HeaderRow(5, L"Folder docelowy:");
    lbKomentarz = HeaderRow(6, L"Komentarz:");
    lbAplikacja = HeaderRow(7, L"Aplikacja:");

    pnTryby = SidePanel<TtevPanel>(pnTresc, Align::Top, 34);
    bWypakuj = ModeButton(pnTryby, L"&Wypakuj wszystkie pliki", 4, 126);
    bZastapDodaj = ModeButton(pnTryby, L"Wypakuj &nowe pliki, zastąp starsze nowszymi", 132, 242);
    bZastap = ModeButton(pnTryby, L"Zastąp &tylko istniejące pliki", 376, 148);
    bWyczysc = ModeButton(pnTryby, L"Wy&czyść", 526, 54);
    for (auto* b : {bWypakuj, bZastapDodaj, bZastap, bWyczysc})
        b->OnClick = [this](Control* s) { bWypakujClick(s); };

    pnDol = SidePanel<TtevPanel>(pnTresc, Align::Bottom, 33);
    tevColorButton1 = pnDol->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    tevColorButton1->SetText(L"Anuluj");
    tevColorButton1->SetBounds(6, 4, 90, 25);
    tevColorButton2 = pnDol->Add<TtevColorButton>(TtevButtonKind::bkOK);
    tevColorButton2->SetText(L"Wypakuj wy&brane pliki");
    tevColorButton2->SetBounds(582 - 6 - 160, 4, 160, 25);
    MakeBold(tevColorButton2);
    tevColorButton2->OnClick = [this](Control* s) { tevColorButton2Click(s); };

    cbNiePytajOZastapienie = pnTresc->Add<CheckBox>(L"nie &pytaj o zastąpienie każdego pliku");
    cbNiePytajOZastapienie->SetParentColor(true);
    cbNiePytajOZastapienie->SetHeight(20);
    cbNiePytajOZastapienie->SetAlign(Align::Bottom);

    lb = pnTresc->Add<TtevHtmlCheckListBox>();
    lb->Sorted = false;  // FillList adds the items in order
    lb->SetAlign(Align::Client);

    OnShow = [this](Control* s) { FormShow(s); };
    CenterOnScreen();
    FormCreate(this);
}

Label* TeZawartoscArchiwum::HeaderRow(int row, const std::wstring& caption) {
    const int top = 2 + row * rowHeight_;
    auto* name = pnNaglowek->Add<Label>(caption);
    name->SetBounds(8, top, captionWidth_, rowHeight_);
    auto* value = pnNaglowek->Add<Label>();
    value->SetBounds(8 + captionWidth_, top, kHeaderWidth - 16 - captionWidth_, rowHeight_);
    MakeBold(value);
    // A value too long for its row ends with "..." and shows whole as the hint.
    value->SetEllipsis(row == 0 || row == 5 ? Label::Ellipsis::Path : Label::Ellipsis::End);
    return value;
}

void TeZawartoscArchiwum::FormCreate(Control*) {
    CABFile1.OnOverWriteFile = [this](TCABFile* sender, const std::wstring& filename, bool& allow) {
        OverWriteFile(sender, filename, allow);
    };
}

bool TeZawartoscArchiwum::ReadArchive() {
    CABFile1.CABFile = ArchivePath;
    ShowStatus(L"Odczytuję zawartość|" + ArchivePath);
    CABFile1.ReadContents();
    archiveRead_ = true;
    return CABFile1.CABFileContents.Count() > 0 || CABFile1.LastError.empty();
}

void TeZawartoscArchiwum::FormShow(Control*) {
    ProgressScope progress;
    eNazwaArchiwum->SetText(ArchivePath);
    if (!archiveRead_) ReadArchive();

    const TCABFileContents& entries = CABFile1.CABFileContents;
    lbIlosc->SetText(std::to_wstring(entries.Count()));
    const int64_t archiveSize = FileSizeOf(ArchivePath);
    int64_t filesSize = 0;
    for (int i = 0; i < entries.Count(); ++i) filesSize += entries.Items(i).Size;
    lbRozmiarArchiwum->SetText(SizeText(archiveSize, false));
    lbRozmiarPlikow->SetText(SizeText(filesSize, false));
    // An archive that could not be read says why instead of naming a kind.
    lbKompresja->SetText(CABFile1.LastError.empty()
                             ? CompressionLabel(CABFile1.ArchiveCompression(), archiveSize, filesSize)
                             : CABFile1.LastError);

    std::wstring dest, comment, application;
    if (entries.Contains(kInfoFileName)) {
        ShowStatus(L"Odczytuję plik informacji");
        const std::wstring info = InfoFilePath();
        CABFile1.TargetPath = DirectoryPart(info);
        CABFile1.ExtractFile(kInfoFileName);
        const std::wstring section = InfoSectionName(FileNamePart(ArchivePath));
        dest = ReadInfoValue(info, section, L"Dir");
        comment = ReadInfoValue(info, section, L"Komentarz");
        application = ReadInfoValue(info, section, L"Wersja");
    }
    lbDest->SetText(dest);
    lbKomentarz->SetText(comment);
    lbAplikacja->SetText(application);

    FillList(RestoreMode::NewAndNewer);
    // The keyboard starts on the files.
    lb->SetFocus();
}

void TeZawartoscArchiwum::FillList(RestoreMode mode) {
    const std::wstring dest = lbDest->Text();
    const bool compare = !dest.empty() && DirectoryExists(dest);
    DiskFiles disk(dest);

    // Items are measured as they come, and all again whenever the list's
    // width changes. The scroll bar a long list needs is shown first, so
    // the width stays, and nothing is drawn until the list is complete.
    // (A short list lets the bar come and go: measuring it again is cheap.)
    SendMessageW(lb->Handle(), WM_SETREDRAW, FALSE, 0);
    lb->Clear();
    constexpr int kSurelyScrolls = 100;
    if (CABFile1.CABFileContents.Count() > kSurelyScrolls) ShowScrollBar(lb->Handle(), SB_VERT, TRUE);
    // The items in the list's order (by their text, as a sorted list would
    // place them one by one), from one sort key each.
    struct Row {
        std::string sortKey;
        std::wstring text;
        bool checked;
    };
    std::vector<Row> rows;
    const TCABFileContents& entries = CABFile1.CABFileContents;
    for (int i = 0; i < entries.Count(); ++i) {
        const TCABFileEntry& entry = entries.Items(i);
        if (IsInfoFileEntry(entry.Name)) continue;
        const std::wstring key = entry.RelPath + entry.Name;
        const EntryComparison comparison =
            CompareWithDisk(compare ? std::optional(disk.Find(key)) : std::nullopt, entry.FileDate, entry.Size);
        std::wstring text = RestoreItemText(key, entry.RelPath, entry.Name, entry.Size, entry.FileDate, comparison.text);
        rows.push_back({SortKey(text), std::move(text), CheckedInMode(mode, comparison)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.sortKey < b.sortKey; });
    // The list box makes room for all items at once, not sixteen at a time.
    SendMessageW(lb->Handle(), LB_INITSTORAGE, rows.size(), rows.size() * 64 * sizeof(wchar_t));
    for (const Row& row : rows) {
        const int index = lb->Add(row.text);
        if (row.checked) lb->SetChecked(index, true);
    }
    SendMessageW(lb->Handle(), WM_SETREDRAW, TRUE, 0);
    lb->Invalidate();
}

void TeZawartoscArchiwum::bWypakujClick(Control* sender) {
    RestoreMode mode = RestoreMode::None;
    if (sender == bWypakuj) mode = RestoreMode::All;
    else if (sender == bZastapDodaj) mode = RestoreMode::NewAndNewer;
    else if (sender == bZastap) mode = RestoreMode::ExistingOnly;
    FillList(mode);
}

bool TeZawartoscArchiwum::ChooseAnotherDest() {
    const std::wstring dest = lbDest->Text();
    std::wstring chosen;
    if (!dest.empty() &&
        Ask(L"Folder docelowy nie istnieje. Utworzyć go od nowa i wypakować pliki tam?\r\n" + dest +
            L"\r\nNie: wybierzesz inny folder.")) {
        const int made = SHCreateDirectoryExW(nullptr, dest.c_str(), nullptr);
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS)
            RaiseError(L"Nie mogę utworzyć folderu.\r\n" + dest +
                       L"\r\nWybierz inny folder: naciśnij jeszcze raz „Wypakuj wybrane pliki” i odpowiedz Nie.");
        chosen = dest;
    } else {
        // The chooser starts at the nearest folder of the old path that is still there.
        std::wstring start = dest;
        while (!start.empty() && !DirectoryExists(start)) {
            std::wstring up = DirectoryPart(start);
            RemoveBackslash(up);
            start = up == start ? L"" : up;
        }
        chosen = ChooseFolder(L"Wybierz folder, do którego wypakować pliki",
                              start.empty() ? L"C:\\" : WithBackslash(start));
        if (chosen.empty()) return false;
        chosen = BackupFolderText(chosen);
    }
    // The files are compared again with what that folder holds.
    lbDest->SetText(chosen);
    FillList(RestoreMode::NewAndNewer);
    return true;
}

void TeZawartoscArchiwum::tevColorButton2Click(Control*) {
    const std::wstring dest = lbDest->Text();
    if (dest.empty() || !DirectoryExists(dest)) {
        // The folder was lost (or the archive says nothing of it): the user
        // chooses where to restore, sees the list compared with it and
        // presses again.
        ChooseAnotherDest();
        return;
    }
    // The window closes after this action, also when it stops with a message.
    SetModalResult(mrOk);
    const int checked = lb->CheckedCount();
    if (checked == 0) RaiseError(L"Nic nie zaznaczyłeś!");
    if (!Ask(PluralFormat(L"Czy wypakować %d %s?", L"plik", L"pliki", L"plików", checked), Question::Destructive)) return;

    // All checked files in one pass over the archive.
    std::vector<std::wstring> keys;
    for (int i = 0; i < lb->Count(); ++i)
        if (lb->Checked(i)) keys.push_back(HiddenData(lb->Item(i)));
    CABFile1.TargetPath = dest;
    const auto failed = CABFile1.ExtractFiles(keys);
    const int done = static_cast<int>(keys.size() - failed.size());
    if (failed.empty()) {
        Ask(L"Ilość wypakowanych plików: " + std::to_wstring(done));
        return;
    }
    // One summary of what came back and what did not, and why.
    std::wstring lines;
    for (const auto& [key, reason] : failed) {
        if (!lines.empty()) lines += L"\r\n";
        lines += MarkupLiteral(key) + L" – " + MarkupLiteral(reason);
    }
    ShowMessageList(L"Wypakowanie plików",
                    SafeFormat(L"<b>Wypakowane pliki: %d z %d. Nie udało się wypakować %d plików:</b><br>"
                               L"Pliki na dysku, których nie udało się wypakować, zostały takie, jak były. "
                               L"Archiwum może być uszkodzone: sprawdź je albo użyj innej kopii.",
                               {done, static_cast<int>(keys.size()), static_cast<int>(failed.size())}),
                    lines);
}

void TeZawartoscArchiwum::OverWriteFile(TCABFile*, const std::wstring& filename, bool& Allow) {
    // Only the archive's own information file is replaced without asking.
    if (SameTextNoCase(filename, InfoFilePath()) || cbNiePytajOZastapienie->Checked()) return;
    Allow = Ask(L"Czy na pewno zastąpić plik " + filename + L"?\r\nPlik na dysku: \r\n" + FileDescription(filename),
                Question::Destructive);
}
