#pragma once
// The program's one backup settings record (backup/backupsettings.h), kept
// under HKEY_CURRENT_USER\Software\TEV\Kopie zapasowe, and the directory of
// the large backups.
//
// Saving writes only what changed since the record was last loaded or
// saved, so a run never writes the values it loaded at start over what a
// sibling program changed meanwhile.
#include <string>

#include "backup/backupsettings.h"

// The record in force for the run.
BackupSettings& CurrentBackupSettings();

// Reads the nine values; a location not stored is the default one (the
// documents folder, else the program's directory), computed without
// waiting for the stored one and without recording anything. The stored
// location's test starts here and goes on meanwhile, so that later
// questions (LocateBackupDirectory) do not wait long for one that hangs.
void LoadBackupSettings();
// Writes the values that differ from the last load or save.
void SaveBackupSettings();

// Where large backups are made and looked for, with a trailing backslash:
// the stored location when it can be reached now, else the documents folder,
// else the program's directory. A stored location that cannot be reached (a
// drive absent right now) stays stored: fallback tells that another one is
// used meanwhile. Nothing is recorded and no current directory is changed.
struct BackupLocation {
    std::wstring directory;
    bool fallback = false;
};
BackupLocation LocateBackupDirectory();
std::wstring BackupDirectory();
// The default location, used when none is stored.
std::wstring DefaultBackupDirectory();

// Records the directory for every TEV program: "Ścieżka kopii zapasowych"
// under Software\TEV\TEV. Done when the user saves a location and when a
// large backup is made in the location the user chose (never in a fallback).
void RecordBackupDirectory(const std::wstring& directory);
