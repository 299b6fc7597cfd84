#include "backup/win/backupsettings.h"

#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

// What an empty or missing value reads as: nothing the registry could hold.
constexpr wchar_t kMissing[] = L"\x01";

class RegistryStore : public BackupSettingsStore {
public:
    std::optional<std::wstring> Read(const std::wstring& name) override {
        std::wstring text = ReadSetting(kBackupSettingsSection, name, kMissing);
        if (text == kMissing) return std::nullopt;
        return text;
    }
    void Write(const std::wstring& name, const std::wstring& text) override {
        WriteSetting(kBackupSettingsSection, name, text);
    }
};

BackupSettings record;
// The values as the registry held them at the last load or save.
BackupSettings stored;

}  // namespace

BackupSettings& CurrentBackupSettings() { return record; }

void LoadBackupSettings() {
    RegistryStore store;
    record = ReadBackupSettings(store, DefaultBackupDirectory());
    stored = record;
    // The stored location is tested from now on without waiting for it: by
    // the time a window asks, one that is offline has been found to hang and
    // is answered at once.
    if (const std::optional<std::wstring> location = BackupLocationFromText(record.SciezkaKopiiZapasowych))
        if (!location->empty()) DirectoryAvailable(*location, 0);
}

void SaveBackupSettings() {
    RegistryStore store;
    WriteBackupSettings(store, record, &stored);
    stored = record;
}

std::wstring DefaultBackupDirectory() {
    const std::wstring documents = DocumentsDir();
    if (DirectoryAvailable(documents)) return WithBackslash(documents);
    return ProgramDir();
}

BackupLocation LocateBackupDirectory() {
    const std::wstring& chosen = record.SciezkaKopiiZapasowych;
    // A lone backslash is how an empty location used to be stored.
    if (!chosen.empty() && chosen != L"\\") {
        const std::optional<std::wstring> location = BackupLocationFromText(chosen);
        if (location && !location->empty() && DirectoryAvailable(*location)) return {*location, false};
        return {DefaultBackupDirectory(), true};
    }
    return {DefaultBackupDirectory(), false};
}

std::wstring BackupDirectory() { return LocateBackupDirectory().directory; }

void RecordBackupDirectory(const std::wstring& directory) {
    WriteSetting(L"TEV", L"Ścieżka kopii zapasowych", directory);
}
