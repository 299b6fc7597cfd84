#include "util/win/sharedfiles.h"

#include <windows.h>

#include <optional>

#include "interact/progress.h"
#include "util/ini.h"
#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/identity.h"
#include "util/win/registry.h"

namespace {

const wchar_t kHelpFileName[] = L"tev.hlp";
// The user's settings of the program, where a fruitless search is noted.
const wchar_t kHelpSettings[] = L"Archiwin";
const wchar_t kHelpSearchedName[] = L"Pomoc nieznaleziona w wersji";

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

std::wstring LocateHelpFile(const std::wstring& root, const std::wstring& version) {
    // One section for reading and writing: "Pomocy", where the TEV programs
    // have always written the location they found.
    std::wstring found = IniReadString(SharedSettingsFile(), L"Pomocy", L"Plik", L"");
    if (FileExists(found)) return found;
    // A drive is searched once per program version: a search that found
    // nothing (or that the user stopped) is not repeated at every start.
    if (!version.empty() && ReadSetting(kHelpSettings, kHelpSearchedName, L"") == version) return {};
    {
        ProgressScope progress;
        StopOffer offer;
        ShowStatus(L"Szukam pliku pomocy...|w " + root);
        DWORD shown = GetTickCount();
        found = FindFileInTree(kHelpFileName, root, true, [&](const std::wstring& folder) {
            if (GetTickCount() - shown >= 250) {
                ShowStatus(L"Szukam pliku pomocy...|w " + folder);
                shown = GetTickCount();
            }
            return !StopRequested();
        });
    }
    IniWriteString(SharedSettingsFile(), L"Pomocy", L"Plik", found);
    WriteSetting(kHelpSettings, kHelpSearchedName, found.empty() ? version : L"");
    return found;
}

std::wstring HelpFile() {
    static std::optional<std::wstring> path;
    if (!path) path = LocateHelpFile(DriveRoot(ProgramDir()), OwnIdentity().version);
    return *path;
}
