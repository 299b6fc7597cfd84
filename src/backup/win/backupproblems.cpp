#include "backup/win/backupproblems.h"

#include "util/paths.h"
#include "util/sizetext.h"
#include "util/win/files.h"

std::wstring ReadProblemText(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"plik jest otwarty w innym programie, który nie pozwala go czytać";
        case ERROR_ACCESS_DENIED:
            return L"nie masz prawa odczytu tego pliku";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return L"plik zniknął w trakcie pakowania (został usunięty lub przeniesiony)";
        default:
            return L"błąd systemu nr " + std::to_wstring(error);
    }
}

std::vector<std::pair<std::wstring, std::wstring>> UnreadableFiles(const std::vector<std::wstring>& files) {
    std::vector<std::pair<std::wstring, std::wstring>> unreadable;
    for (const std::wstring& file : files) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            unreadable.emplace_back(file, ReadProblemText(GetLastError()));
            continue;
        }
        CloseHandle(h);
    }
    return unreadable;
}

std::wstring ArchiveTargetProblem(const std::wstring& archive, std::int64_t needBytes) {
    const std::wstring folder = DirectoryPart(archive);
    if (folder.empty() || !DirectoryExists(folder)) return L"Folder „" + folder + L"” nie istnieje.";
    const DWORD attributes = GetFileAttributesW(archive.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return L"Pod tą nazwą jest już folder.";
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return L"Plik o tej nazwie już istnieje i jest tylko do odczytu, więc nie mogę go zastąpić.";
    }
    // A file of our own, created and removed at once, tells whether the
    // folder takes new files.
    wchar_t probe[MAX_PATH + 16];
    if (folder.size() < MAX_PATH - 14 && GetTempFileNameW(folder.c_str(), L"~tv", 0, probe)) {
        DeleteFileW(probe);
    } else {
        const DWORD error = GetLastError();
        switch (error) {
            case ERROR_ACCESS_DENIED:
            case ERROR_WRITE_PROTECT:
                return L"Nie masz prawa zapisywać w folderze „" + folder +
                       L"” (folder albo dysk jest tylko do odczytu).";
            case ERROR_DISK_FULL:
            case ERROR_HANDLE_DISK_FULL:
                return L"Na dysku folderu „" + folder + L"” nie ma wolnego miejsca.";
            default:
                return L"Nie mogę utworzyć pliku w folderze „" + folder + L"” (błąd systemu nr " +
                       std::to_wstring(error) + L").";
        }
    }
    ULARGE_INTEGER free{};
    if (needBytes > 0 && GetDiskFreeSpaceExW(folder.c_str(), &free, nullptr, nullptr) &&
        free.QuadPart < static_cast<ULONGLONG>(needBytes))
        return L"Na dysku folderu „" + folder + L"” może zabraknąć miejsca: wolne jest " +
               SizeText(static_cast<std::int64_t>(free.QuadPart), false) + L", a pliki zajmują " +
               SizeText(needBytes, false) + L".";
    return {};
}
