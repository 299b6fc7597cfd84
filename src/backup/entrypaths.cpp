#include "backup/entrypaths.h"

#include "util/archivename.h"
#include "util/datetext.h"
#include "util/paths.h"
#include "util/textcase.h"

std::wstring BackupFolderText(std::wstring folder) {
    RemoveBackslash(folder);
    return folder;
}

std::wstring ArchiveTimeStamp(DateTimeValue now) { return FormatPolishDate(L"'_'yymmdd'_'hhnn", now); }

std::wstring DefaultArchiveName(const std::wstring& dir, const std::wstring& folder, DateTimeValue now) {
    return dir + L"kopia_" + FolderArchiveName(BackupFolderText(folder)) + ArchiveTimeStamp(now) + L".cab";
}

std::wstring EntryRelPath(const std::wstring& item, const std::wstring& folder, const std::wstring& infoFile) {
    if (SameTextNoCase(item, infoFile)) return {};
    // The item's directory and the folder, both with one trailing backslash.
    std::wstring dir = WithBackslash(DirectoryPart(item));
    const std::wstring base = WithBackslash(folder);
    if (StartsWithNoCase(base, dir)) dir.erase(0, base.size());
    RemoveBackslash(dir);
    return dir;
}
