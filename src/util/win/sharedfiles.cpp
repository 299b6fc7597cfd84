#include "util/win/sharedfiles.h"

#include <optional>

#include "util/ini.h"
#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"

namespace {

// Reads the remembered path and writes it back, so the file shows where the
// programs look.
std::wstring RememberedPath(const std::wstring& section, const std::wstring& defaultPath) {
    std::wstring path = IniReadString(SharedSettingsFile(), section, L"Plik", defaultPath);
    IniWriteString(SharedSettingsFile(), section, L"Plik", path);
    return path;
}

}  // namespace

std::wstring SharedSettingsFile() { return L"c:\\tev.ini"; }

std::wstring NipExceptionsFile() {
    static const std::wstring path = RememberedPath(L"Wyjątki NIP", DirectoryPart(SharedSettingsFile()) + L"wyjatki.nip");
    return path;
}

std::wstring InterestRatesFile() {
    static const std::wstring path = RememberedPath(L"Odsetki", L"c:\\odsetki.dat");
    return path;
}

std::wstring HelpFile() {
    static std::optional<std::wstring> path;
    if (!path) {
        // One section for reading and writing: "Pomocy", where the TEV programs
        // have always written the location they found.
        std::wstring found = IniReadString(SharedSettingsFile(), L"Pomocy", L"Plik", L"");
        if (!FileExists(found)) found = FindFileInTree(L"tev.hlp", DriveRoot(ProgramDir()), true);
        IniWriteString(SharedSettingsFile(), L"Pomocy", L"Plik", found);
        path = found;
    }
    return *path;
}
