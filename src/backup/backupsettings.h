#pragma once
// The automatic-backup settings that every TEV program shares: the record,
// its defaults and its registry form (nine string values under
// Software\TEV\Kopie zapasowe), kept portable behind a small store so that
// the rules are tested without a registry. The Windows side
// (backup/win/backupsettings.h) holds the program's one record.
//
// Booleans are written "TAK"/"NIE" and read true for the yes-words of the
// questions ("tak", "1", "yes", "ok", "true", "prawda" in any case); day
// counts are decimal text, read with their default when the text is not a
// whole number and kept within 0..3650 however they arrive; a missing or
// empty value reads as its default.
#include <optional>
#include <string>

struct BackupSettings {
    bool WykonujDuzeKopie = true;
    bool KasujDuzeKopieAutomatycznie = false;
    bool KasujDuzeKopieZapytaj = true;
    int DuzeKopieCoDni = 14;
    int KasujDuzeKopiePoDniach = 21;
    // The directory of the large backups as the user chose it; the default
    // location when none is stored (see LoadBackupSettings).
    std::wstring SciezkaKopiiZapasowych;
    bool WykonujMaleKopie = true;
    bool KasujMaleKopieAutomatycznie = false;
    int KasujMaleKopiePoDniach = 21;

    bool operator==(const BackupSettings&) const = default;
};

// The registry key's section and the value names, in the order of reading
// and writing.
inline constexpr wchar_t kBackupSettingsSection[] = L"Kopie zapasowe";

// Day counts are kept within 0..3650 (ten years), typed or read.
inline constexpr int kMaxBackupDays = 3650;
int ClampBackupDays(long long days);
// A typed day count: a number, its fraction cut off ("7.9" and "7,9" give
// 7); nullopt when the text is not a number.
std::optional<int> BackupDaysFromText(const std::wstring& text);

// Where the values are kept: the registry for the program, a map in tests.
class BackupSettingsStore {
public:
    virtual ~BackupSettingsStore() = default;
    // The stored text; nullopt when the value is missing.
    virtual std::optional<std::wstring> Read(const std::wstring& name) = 0;
    virtual void Write(const std::wstring& name, const std::wstring& text) = 0;
};

// Reads the nine values in the order of the record; a missing or unusable
// value takes its default, the path's being defaultDirectory.
BackupSettings ReadBackupSettings(BackupSettingsStore& store, const std::wstring& defaultDirectory);

// Writes the values of now that differ from before, in the same order (all
// nine when before is null). Returns how many were written.
int WriteBackupSettings(BackupSettingsStore& store, const BackupSettings& now, const BackupSettings* before);

// The backup location as typed: a drive path ("D:", "d:\kopie") or a network
// path ("\\serwer\udział\kopie"), with a trailing backslash; empty (the
// default location) for an empty text; nullopt for anything else (a path
// relative to some current directory, a lone "\").
std::optional<std::wstring> BackupLocationFromText(const std::wstring& text);
