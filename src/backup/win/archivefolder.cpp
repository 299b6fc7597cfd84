#include "backup/win/archivefolder.h"

#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/registry.h"

std::wstring ArchiveFolder() {
    const std::wstring program = ProgramDir();
    if (CanCreateFilesIn(program)) return program;
    const std::wstring stored = ReadSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", L"");
    if (!stored.empty() && DirectoryExists(stored) && CanCreateFilesIn(stored)) return WithBackslash(stored);
    return DocumentsDir();
}
