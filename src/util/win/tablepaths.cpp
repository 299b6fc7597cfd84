#include <windows.h>

#include "util/win/tablepaths.h"

#include <array>
#include <vector>

#include "interact/ask.h"
#include "util/paths.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/textedit.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"

namespace {

TablePathSet currentPaths;

int Valid(int table) { return table >= 0 && table < kTableCount ? table : 0; }

// A file found by the search: the user picks among several, then confirms.
std::wstring FoundCandidate(const std::vector<std::wstring>& files) {
    if (files.empty()) return {};
    std::wstring candidate = files.front();
    if (files.size() > 1) {
        std::vector<std::wstring> items;
        for (const auto& file : files) items.push_back(NewlinesToBreaks(FileDescription(file)));
        // No item is preselected, so that cancelling chooses none.
        int chosen = PickFromList(items, L"Wybierz plik, który chcesz użyć!", L"Pliki baz danych", -1);
        if (chosen < 0 || chosen >= static_cast<int>(files.size())) return {};
        candidate = files[chosen];
    }
    // Taking the file records it as the table's path for every TEV program,
    // so only the user's own answer takes it (a backup running unattended
    // must not adopt a stray copy).
    bool take = Ask(candidate +
                        L": Znalazłem plik z danymi. Czy mam go otworzyć?\r\n"
                        L"Ten plik znajduje się w nieoczekiwanej lokalizacji. Prawdopodobnie jednak zawiera potrzebne dane.\r\n"
                        L"Naciśnij OK, aby otworzyć tę bazę. Naciśnij Anuluj, aby zostawić ten plik w spokoju i wybrać inną "
                        L"lokalizację dla nowej, pustej bazy.",
                    Question::Destructive);
    return take ? candidate : std::wstring();
}

std::wstring SearchForTable(int table) {
    std::wstring folders = DefaultDataDir();
    if (!SameTextNoCase(folders, L"c:\\tev\\")) folders += L";c:\\tev\\;" + ParentDir(DefaultDataDir());
    std::vector<std::wstring> files;
    FindFiles(files, Table(table).defaultFileName, folders, true);
    return FoundCandidate(files);
}

}  // namespace

std::wstring DefaultDataDir() {
    std::wstring dir = ProgramDir();
    if (SameTextNoCase(dir, DesktopDir())) return DocumentsDir();
    if (GetDriveTypeW(DriveRoot(dir).c_str()) == DRIVE_CDROM) return DocumentsDir();
    return dir;
}

namespace {

// The registered path, or the suggestion: directory and file name made
// usable (the default name, DefaultDataDir for a missing directory).
std::wstring RegisteredTablePath(int table, const std::wstring& suggested) {
    const TableInfo& info = Table(table);
    const std::wstring machine = RegReadValue(kLocalMachine, kTablePathsKey, info.id, L"");
    const std::wstring user = RegReadValue(kCurrentUser, kTablePathsKey, info.id, L"");
    std::wstring path = FileExists(machine) || (!machine.empty() && !FileExists(user)) ? machine
                        : !user.empty()                                                ? user
                                                                                       : suggested;

    std::wstring dir = DirectoryPart(path), name = FileNamePart(path);
    if (name.empty()) name = info.defaultFileName;
    if (!DirectoryExists(dir)) dir = DefaultDataDir();
    return WithBackslash(dir) + name;
}

}  // namespace

std::wstring ResolveTablePath(int table, const std::wstring& suggested, bool search) {
    table = Valid(table);
    const TableInfo& info = Table(table);
    std::wstring path = RegisteredTablePath(table, suggested);

    if (!FileExists(path) && search) path = SearchForTable(table);
    if (!FileExists(path)) path = DefaultDataDir() + info.defaultFileName;
    if (!FileExists(path) && !DirectoryExists(DirectoryPart(path))) return path;

    StoreTablePath(table, path);
    currentPaths[table] = path;
    return path;
}

std::wstring LocateTablePath(int table) {
    table = Valid(table);
    std::wstring path = RegisteredTablePath(table, L"");
    if (!FileExists(path)) path = DefaultDataDir() + Table(table).defaultFileName;
    return path;
}

void StoreTablePath(int table, const std::wstring& path) {
    const wchar_t* id = Table(Valid(table)).id;
    RegWriteString(kLocalMachine, kTablePathsKey, id, path);
    RegWriteString(kCurrentUser, kTablePathsKey, id, path);
}

std::wstring CurrentTablePath(int table) { return currentPaths[Valid(table)]; }

void SetCurrentTablePath(int table, const std::wstring& path) { currentPaths[Valid(table)] = path; }

TablePathSet CurrentTablePaths() { return currentPaths; }

int TableForFile(const std::wstring& name, const TablePathSet& paths) {
    std::wstring wanted = LowerCase(FileNamePart(name));
    int found = 0;
    for (int t = 0; t < kTableCount; ++t) {
        // A table not resolved yet has no file to compare with.
        if (!paths[t].empty() && LowerCase(FileNamePart(paths[t])) == wanted) found = t;
    }
    return found;
}

std::wstring TableIdForFile(const std::wstring& name, const TablePathSet& paths) {
    int table = TableForFile(name, paths);
    return table == 0 ? L"(nieznany plik!)" : Table(table).id;
}

std::wstring TargetForFile(const std::wstring& name, const TablePathSet& paths) {
    std::wstring file = FileNamePart(name);
    auto belongs = [&](const std::wstring& path) { return !path.empty() && EndsWithNoCase(FileNamePart(path), file); };
    if (std::wstring path = paths[TableForFile(name, paths)]; belongs(path)) return path;
    for (const std::wstring& path : {SharedSettingsFile(), NipExceptionsFile(), InterestRatesFile()})
        if (belongs(path)) return path;
    return {};
}

int TableForFile(const std::wstring& name) { return TableForFile(name, currentPaths); }
std::wstring TableIdForFile(const std::wstring& name) { return TableIdForFile(name, currentPaths); }
std::wstring TargetForFile(const std::wstring& name) { return TargetForFile(name, currentPaths); }
