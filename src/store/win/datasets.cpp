#include <windows.h>

#include "store/win/datasets.h"

#include <cmath>

#include "cabinet/cabfile.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "store/copynames.h"
#include "store/tevlist.h"
#include "store/win/datafiles.h"
#include "store/win/datasettitle.h"
#include "ui/win/application.h"
#include "ui/win/form.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/logs.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace {

RunningSiblingsCheck siblingsCheck = nullptr;
// The set the current data were last packed into in this run: only then may
// a set that lacks a table empty that table's file.
std::wstring packedInto;

constexpr wchar_t kFilter[] = L"Zestawy danych tev|*.tev|Kopie zapasowe CAB|*.cab";

std::wstring DefaultDataSet() { return ProgramDir() + L"Mój zestaw danych.tev"; }

bool SiblingsRunning() { return siblingsCheck && siblingsCheck(); }

// The table's current file, without searching the disk.
std::wstring CurrentFileOf(int table) {
    std::wstring path = CurrentTablePath(table);
    return path.empty() ? ResolveTablePath(table, L"", false) : path;
}

std::wstring AbsolutePath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : path;
}

// The open data lists of the table.
std::vector<tTevList*> OpenListsOf(int table) {
    std::vector<tTevList*> lists;
    for (tTevList* list : DataLists())
        if (list->TableNumber() == table) lists.push_back(list);
    return lists;
}

void Redisplay() {
    Form* main = App().MainForm();
    if (main && main->Handle()) main->Invalidate();
    Form* active = App().ActiveForm();
    if (active && active != main && active->Handle()) active->Invalidate();
}

}  // namespace

void SetRunningSiblingsCheck(RunningSiblingsCheck check) { siblingsCheck = check; }

std::vector<std::wstring> DataSetFiles() {
    std::vector<std::wstring> files;
    for (int table = 0; table < kTableCount; ++table) {
        if (IsReferenceTable(table)) continue;
        const std::wstring path = CurrentFileOf(table);
        if (!path.empty() && FileExists(path)) files.push_back(path);
    }
    return files;
}

bool PackDataSet() {
    ShowDataSetInTitle(CurrentDataSet());
    bool result = true;
    ProgressScope finish;
    ShowStatus(L"Zapisuję bazę danych");

    const std::vector<tTevList*> lists = DataLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        tTevList* list = lists[i];
        try {
            // A list never read holds nothing newer than its file.
            if (!IsReferenceTable(list->TableNumber()) && !list->NotLoaded() && !list->FilePath().empty()) {
                if (!SaveListToFile(*list, list->FilePath(), true)) result = false;
            }
            ShowStatus(Table(list->TableNumber()).defaultFileName);
            UpdateProgress(static_cast<std::int64_t>(i), static_cast<std::int64_t>(lists.size()) - 1);
        } catch (...) {
            result = false;
        }
    }

    const std::wstring set = CurrentDataSet();
    if (!set.empty()) {
        ShowStatus(L"Zapisuję zestaw " + set);
        // Written beside the set and put in its place only when complete: a
        // failure leaves the set as it was.
        const std::wstring pending = PendingSaveName(set, GetCurrentProcessId());
        try {
            TCABFile cab;
            cab.CABFile = pending;
            cab.CompressionType = typMSZIP;
            cab.OnCompressProgress = [](TCABFile*, int pos, int tot) { UpdateProgress(pos, tot); };
            for (const std::wstring& file : DataSetFiles())
                if (!cab.CABFileContents.Contains(file)) cab.CABFileContents.Add().Name = file;
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            cab.Compress();
            if (!MoveFileExW(pending.c_str(), set.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                throw Failure(L"Nie mogę zastąpić pliku " + set + L".");
            if (result) packedInto = set;
        } catch (...) {
            DeleteFileW(pending.c_str());
            result = false;
            Ask(L"%Nie udało się zapisać zestawu danych.\r\n" + set + L"\r\n" +
                ExceptionMessage(std::current_exception()));
        }
    }
    WriteSetting(L"- Ścieżki", L"Zestaw danych", set);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return result;
}

bool CloseDataSet() {
    if (SiblingsRunning())
        RaiseError(L"Nie mogę przełączyć zestawu danych, gdy są uruchomione jakiekolwiek inne programy TEV. Zamknij "
                   L"wszystkie!");
    if (!CurrentDataSet().empty()) {
        if (!Ask(L"Czy chcesz zamknąć ten zestaw danych?\r\nObecne dane zostaną zapisane w zestawie.\r\n" +
                     CurrentDataSet(),
                 Question::Destructive))
            return false;
    } else {
        if (!Ask(L"Czy chcesz zmienić zestaw danych?\r\nObecne dane zostaną zachowane w specjalnym skompresowanym "
                 L"zestawie danych, z którego będziesz mógł później z powrotem je odczytać.",
                 Question::Destructive))
            return false;
        // A new set's file is packed at once, as the question promised.
        ShowDataSetInTitle(AbsolutePath(ChooseSaveFile(L"Zapisz zestaw danych", DefaultDataSet(), kFilter)));
    }
    const bool packed = PackDataSet();
    if (packed) ProgramLog(L"ZEREZO: Zamykamy zestaw danych " + CurrentDataSet());
    return packed;
}

void ChangeDataSet() {
    if (!CloseDataSet()) return;
    OpenDataSet(ChooseOpenFile(L"Odczytaj zestaw danych", DefaultDataSet(), kFilter));
}

void OpenDataSet(const std::wstring& path) {
    if (path.empty() || !FileExists(path)) return;
    const std::wstring set = AbsolutePath(path);
    ProgramLog(L"ZEREZO: Odtwarzamy zestaw danych " + set);
    const bool previousPacked = !packedInto.empty() && SameTextNoCase(packedInto, CurrentDataSet()) &&
                                FileExists(packedInto);
    int opened = 0, missing = 0;
    try {
        TCABFile cab;
        cab.CABFile = set;
        cab.ReadContents();
        const int entries = cab.CABFileContents.Count();
        if (entries < 6) RaiseError(set + L"\r\n" + L"Ten zestaw jest pusty lub o złym formacie!");
        const int present = static_cast<int>(DataSetFiles().size());
        if (entries != present &&
            !Ask(SafeFormat(L"Dotychczas używany zestaw baz zawierał %d plików, ten który próbujesz otworzyć zawiera "
                            L"plików %d.\r\nCzy chcesz użyć takiego zestawu danych? Bazy, których nie będzie w "
                            L"zestawie, zostaną utworzone jako puste.",
                            {present, entries}),
                 Question::Destructive))
            RaiseError(L"Przerwano zmianę zestawu danych.");

        ProgressScope finish;
        ShowStatus(L"Odczytuję zestaw " + set);
        for (int table = 0; table < kTableCount; ++table) {
            if (IsReferenceTable(table)) continue;
            const std::wstring file = CurrentFileOf(table);
            if (file.empty()) continue;
            const std::wstring name = FileNamePart(file);
            cab.TargetPath = DirectoryPart(file);
            bool extracted = false;
            if (DirectoryExists(cab.TargetPath) && cab.CABFileContents.Contains(name)) {
                cab.OnOverWriteFile = nullptr;
                extracted = cab.ExtractFiles({name}).empty() && FileExists(file);
            }
            if (extracted) {
                for (tTevList* list : OpenListsOf(table)) {
                    list->FreeAll();
                    list->SetFileState(0, 0);
                    LoadListFromFile(*list, file, false);
                }
                ++opened;
                continue;
            }
            // Not in the set: the table starts empty. The file of the set
            // left behind goes only when that set holds it.
            for (tTevList* list : OpenListsOf(table)) {
                list->FreeAll();
                list->SetLoadFailed(false);
                list->SetFileState(0, 0);
            }
            bool hadFile = FileExists(file);
            if (hadFile && previousPacked) {
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
            }
            // Only tables the set should have had count as missing.
            ++missing;
            ProgramLog(L"ZEREZO: " + file + L" - nie było pliku w zestawie " + set +
                       (hadFile && FileExists(file) ? L" (plik poprzednich danych pozostawiony)" : L""));
        }
        FinishProgress();

        if (Ask(L"Odczytano zestaw danych " + set + L"\r\n" +
                SafeFormat(L"- baz odczytanych: %d, brakowało %d baz.", {opened, missing}) + L"\r\n" +
                L"Czy wyświetlić szczegółowy raport?"))
            ShowMessageList(L"Raport", L"Raport odtwarzania", ProgramLogText());
        ShowDataSetInTitle(set);
    } catch (...) {
        Ask(ExceptionMessage(std::current_exception()));
    }
    Redisplay();
}

void MoveDatabases(const std::wstring& directory) {
    if (!DirectoryExists(directory)) RaiseError(directory + L"\r\n" + L"Ten katalog nie istnieje!");
    if (SiblingsRunning())
        RaiseError(L"Nie mogę przenieść baz danych, gdy są uruchomione jakiekolwiek inne programy TEV. Zamknij "
                   L"wszystkie!");
    if (!AskHeadline(L"Czy przenieść wszystkie bazy do tego katalogu?\r\n" + directory,
                     L"Pamiętaj, że ścieżka ta musi być stale dostępna. Unikaj przenoszenia baz danych do lokalizacji "
                     L"sieciowej.",
                     Question::Destructive))
        return;
    const std::wstring target = WithBackslash(AbsolutePath(directory));
    const std::wstring key = std::to_wstring(static_cast<long long>(std::floor(std::floor(Modal().Now()) * 0.1))) +
                             L"przenies_" + target;
    std::wstring notMoved;
    for (int table = 0; table < kTableCount; ++table) {
        const std::wstring from = ResolveTablePath(table, CurrentTablePath(table), false);
        if (from.empty() || !FileExists(from)) continue;
        const std::wstring to = target + FileNamePart(from);
        if (SameTextNoCase(AbsolutePath(from), to)) continue;
        if (FileExists(to)) {
            // Another set of data in the target: never made this table's.
            notMoved += from + L" - w katalogu docelowym jest już plik " + to + L"\r\n";
            continue;
        }
        // The move replaces nothing (the target is free) and the whole move
        // was confirmed by the user's own press above.
        if (!AskRemembered(L"Czy na pewno przenieść ten plik?\r\n" + from + L"\r\ndo " + to, key, true)) continue;
        if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
            notMoved += from + L" - nie udało się przenieść pliku\r\n";
            continue;
        }
        SetCurrentTablePath(table, to);
        if (tTevList* list = FindOpenList(table)) list->SetFilePath(to);
        StoreTablePath(table, to);
    }
    if (!notMoved.empty()) Ask(L"!Nie wszystkie bazy zostały przeniesione.\r\n" + notMoved);
}
