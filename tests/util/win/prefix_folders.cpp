#include "prefix_folders.h"

#include <knownfolders.h>
#include <shlobj.h>

std::vector<ProfileFolder> UserProfileFolders() {
    static const std::pair<const wchar_t*, const KNOWNFOLDERID*> kFolders[] = {
        {L"Desktop", &FOLDERID_Desktop},   {L"Documents", &FOLDERID_Documents}, {L"Downloads", &FOLDERID_Downloads},
        {L"Music", &FOLDERID_Music},       {L"Pictures", &FOLDERID_Pictures},   {L"Videos", &FOLDERID_Videos},
        {L"Templates", &FOLDERID_Templates},
    };
    std::vector<ProfileFolder> folders;
    for (auto& [name, id] : kFolders) {
        wchar_t* path = nullptr;
        ProfileFolder folder{name, {}};
        if (SUCCEEDED(SHGetKnownFolderPath(*id, 0, nullptr, &path)) && path) folder.path = path;
        CoTaskMemFree(path);
        folders.push_back(folder);
    }
    return folders;
}

std::wstring DriveLetters() {
    std::wstring letters;
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) letters += static_cast<wchar_t>(L'A' + i);
    return letters;
}
