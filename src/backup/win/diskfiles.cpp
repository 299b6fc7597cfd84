#include "backup/win/diskfiles.h"

#include <windows.h>

#include "util/paths.h"
#include "util/textcase.h"
#include "util/win/files.h"

DiskFiles::DiskFiles(std::wstring folder) : folder_(WithBackslash(std::move(folder))) {}

const DiskFiles::Listing& DiskFiles::ListingOf(const std::wstring& subfolder) {
    auto [at, added] = listings_.try_emplace(UpperCase(subfolder));
    if (!added) return at->second;
    WIN32_FIND_DATAW data;
    const std::wstring pattern = folder_ + subfolder + L"*";
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return at->second;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const int64_t size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        at->second[UpperCase(data.cFileName)] = DiskFile{true, DosDateOf(data.ftLastWriteTime), size};
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return at->second;
}

DiskFile DiskFiles::Find(const std::wstring& key) {
    const Listing& listing = ListingOf(DirectoryPart(key));
    auto found = listing.find(UpperCase(FileNamePart(key)));
    return found == listing.end() ? DiskFile{} : found->second;
}
