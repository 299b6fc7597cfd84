#pragma once
// Helpers of the large backup tests: the registry keys the functions write,
// kept and put back whole; a temporary world of data files registered as
// the TEV programs' tables and a backup directory; file times set on planted
// files; keys typed into the program's windows.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/datetime.h"

// Every value of a key (or its absence), put back on destruction; values
// added meanwhile are removed.
class KeySnapshot {
public:
    KeySnapshot(HKEY root, std::wstring key, REGSAM view = 0);
    ~KeySnapshot();
    KeySnapshot(const KeySnapshot&) = delete;
    KeySnapshot& operator=(const KeySnapshot&) = delete;

private:
    struct Value {
        DWORD type;
        std::vector<BYTE> data;
    };
    HKEY root_;
    std::wstring key_;
    REGSAM view_;
    bool existed_ = false;
    std::map<std::wstring, Value> values_;
};

// A temporary folder with "dane\" for data files and "kopie\" for backups;
// the keys of the backup settings, of their record and of the tables' paths
// kept; the backup settings at their defaults with "kopie\" as location, and
// no table resolved in the run. Everything is put back at the end.
class LargeBackupWorld {
public:
    LargeBackupWorld();
    ~LargeBackupWorld();
    LargeBackupWorld(const LargeBackupWorld&) = delete;
    LargeBackupWorld& operator=(const LargeBackupWorld&) = delete;

    // Writes the table's file (its default name, in folder or "dane\") and
    // registers it as the table's path; returns the path.
    std::wstring PlantTable(int table, const std::string& bytes, const std::wstring& folder = {});
    // Forgets the paths resolved in the run, as right after a start.
    static void ForgetResolvedTables();

    std::wstring root;     // with a trailing backslash
    std::wstring data;     // root + "dane\"
    std::wstring backups;  // root + "kopie\"

private:
    std::vector<std::unique_ptr<KeySnapshot>> keys_;
    std::wstring sharedAside_;
};

// Sets a file's last-write time to a local date and time.
void SetLocalWriteTime(const std::wstring& path, DateTimeValue local);
// The names of the files in a folder, sorted.
std::vector<std::wstring> FileNames(const std::wstring& folder);
// Bytes that do not compress, so archives have the size of their files.
std::string NoiseBytes(size_t size, unsigned seed);

// Types a key as the user would, through the system's input queue to the
// window in front (support/win/keys.h) with the modifiers held, and lets the
// program handle it.
enum KeyModifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };
void TypeKey(WORD key, unsigned modifiers = kNoModifier);
