#include <windows.h>

#include "util/win/filesearch.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "interact/progress.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/textfields.h"
#include "util/wildcard.h"
#include "util/win/files.h"

namespace {

int visitedFolders = 0;
int cursorNumber = 0;

// The program's busy cursors are resources 111 to 120, shown in turn; the
// system's wait cursor stands in for a number the program does not carry.
void AdvanceBusyCursor() {
    cursorNumber = cursorNumber >= 120 ? 111 : cursorNumber + 1;
    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(cursorNumber));
    SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_WAIT));
}

void RestoreCursor() {
    cursorNumber = 0;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool IsDotEntry(const wchar_t* name) { return !wcscmp(name, L".") || !wcscmp(name, L".."); }

// Calls visit for each entry of the pattern (a folder path and a mask).
void Enumerate(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do visit(data);
    while (FindNextFileW(find, &data));
    FindClose(find);
}

bool IsDirectory(const WIN32_FIND_DATAW& data) { return data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }

// A subfolder to descend into.
bool IsSubfolder(const WIN32_FIND_DATAW& data) {
    return IsDirectory(data) && !IsDotEntry(data.cFileName) && !IsLinkedFolder(data);
}

// One search of FindFiles: the list, the upper-cased paths already in it,
// and the count.
struct Search {
    std::vector<std::wstring>& list;
    const std::wstring& mask;
    bool recursive;
    std::unordered_set<std::wstring> listed;
    int count = 0;

    void Folder(std::wstring dir) {
        if (visitedFolders < 2) ShowStatus(L"Szukam " + mask + L"...|w " + dir);
        AdvanceBusyCursor();
        ++visitedFolders;
        AddBackslash(dir);
        Enumerate(dir + mask, [&](const WIN32_FIND_DATAW& data) {
            if (IsDirectory(data) || !MatchesMask(data.cFileName, mask)) return;
            std::wstring path = dir + data.cFileName;
            if (listed.insert(UpperCase(path)).second) list.push_back(path);
            ++count;
        });
        if (!recursive) return;
        Enumerate(dir + L"*.*", [&](const WIN32_FIND_DATAW& data) {
            if (IsSubfolder(data)) Folder(dir + data.cFileName);
        });
    }
};

std::wstring InFolder(const std::wstring& folder, const std::wstring& name) {
    bool joined = folder.empty() || folder.back() == L':' || folder.back() == L'\\';
    return folder + (joined ? L"" : L"\\") + name;
}

// The subfolders of folder, searched depth first for the name. stopped is
// set when entering refuses a folder.
std::wstring SearchSubfolders(const std::wstring& name, std::wstring folder,
                              const std::function<bool(const std::wstring&)>& entering, bool& stopped) {
    RemoveBackslash(folder);
    std::wstring found;
    std::vector<std::wstring> subfolders;
    Enumerate(folder + L"\\*.*", [&](const WIN32_FIND_DATAW& data) {
        if (IsSubfolder(data)) subfolders.push_back(folder + L"\\" + data.cFileName);
    });
    for (const auto& sub : subfolders) {
        if (entering && !entering(sub)) {
            stopped = true;
            return {};
        }
        if (FileExists(InFolder(sub, name))) return InFolder(sub, name);
        found = SearchSubfolders(name, sub, entering, stopped);
        if (!found.empty() || stopped) return found;
    }
    return found;
}

std::vector<std::wstring> SplitFolders(const std::wstring& folders) {
    std::vector<std::wstring> result;
    size_t fields = std::count(folders.begin(), folders.end(), L';') + 1;
    for (size_t i = 1; i <= fields; ++i) result.push_back(FieldAt(L';', i, folders));
    return result;
}

}  // namespace

bool IsLinkedFolder(const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

int FindFiles(std::vector<std::wstring>& list, const std::wstring& mask, const std::wstring& folders, bool recursive) {
    list.clear();
    visitedFolders = 0;
    Search search{list, mask, recursive, {}};
    for (std::wstring folder : SplitFolders(folders)) {
        if (!DirectoryExists(folder)) continue;
        search.Folder(WithBackslash(folder));
    }
    ShowStatus(L"Zakończyłem wyszukiwanie...");
    RestoreCursor();
    return search.count;
}

std::wstring FindFileInTree(const std::wstring& name, const std::wstring& folders, bool recursive) {
    return FindFileInTree(name, folders, recursive, nullptr);
}

std::wstring FindFileInTree(const std::wstring& name, const std::wstring& folders, bool recursive,
                            const std::function<bool(const std::wstring& folder)>& entering) {
    if (FileExists(name)) return name;
    auto list = SplitFolders(folders);
    for (const auto& folder : list)
        if (FileExists(InFolder(folder, name))) return InFolder(folder, name);
    if (recursive) {
        bool stopped = false;
        for (const auto& folder : list) {
            std::wstring found = SearchSubfolders(name, folder, entering, stopped);
            if (!found.empty() || stopped) return found;
        }
    }
    return {};
}

std::vector<ListedFile> ListFiles(const std::wstring& folder, const std::wstring& mask) {
    std::vector<ListedFile> files;
    Enumerate(folder + mask, [&](const WIN32_FIND_DATAW& data) {
        if (IsDirectory(data) || !MatchesMask(data.cFileName, mask)) return;
        ListedFile file;
        file.name = data.cFileName;
        file.path = folder + file.name;
        file.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        file.written = LocalDateTimeOf(data.ftLastWriteTime);
        file.attributes = data.dwFileAttributes;
        files.push_back(std::move(file));
    });
    return files;
}
