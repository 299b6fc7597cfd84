#include "backup/win/infofile.h"

#include <shlobj.h>

#include "backup/entrypaths.h"
#include "interact/seam.h"
#include "util/paths.h"
#include "util/win/files.h"

namespace {

std::wstring UserProgramFolder() {
    PWSTR base = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base)))
        folder = WithBackslash(base) + L"TEV\\Archiwin\\";
    CoTaskMemFree(base);
    if (!folder.empty()) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

}  // namespace

std::wstring InfoFileFolderFor(const std::wstring& programDir) {
    if (CanCreateFilesIn(programDir)) return programDir;
    const std::wstring user = UserProgramFolder();
    return user.empty() ? programDir : user;
}

std::wstring InfoFilePath() {
    static const std::wstring path = InfoFileFolderFor(ProgramDir()) + kInfoFileName;
    return path;
}

void SetAsideInfoFile() {
    const std::wstring path = InfoFilePath();
    if (!FileExists(path)) return;
    const std::wstring log = path + ArchiveTimeStamp(Modal().Now()) + L"_.log";
    MoveFileW(path.c_str(), log.c_str());
}
