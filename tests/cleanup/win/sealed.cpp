#include "sealed.h"

#include <windows.h>

#include <fstream>

#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/prefix_folders.h"

std::wstring SealedPrefixFault() {
    if (DriveLetters() != L"C") return L"drives " + DriveLetters();
    if (!StartsWithNoCase(L"c:\\", ProgramDir())) return L"the program runs from " + ProgramDir();
    for (const ProfileFolder& folder : UserProfileFolders()) {
        DWORD attributes = GetFileAttributesW(folder.path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return std::wstring(folder.name) + L" leads elsewhere: " + folder.path;
    }
    return {};
}

std::filesystem::path FreshFolder(const std::wstring& name) {
    std::filesystem::path dir = std::filesystem::path(L"C:\\testy") / name;
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}
