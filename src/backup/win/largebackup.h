#pragma once
// Large backups: one cabinet (MSZIP) of every user data file of the TEV
// programs, made in the backup directory under the moment's name
// (backup/largebackuprules.h), logged in "raport.txt" and recorded under
// Software\TEV\- ("Kopia zapasowa", "Kopia zapasowa - data"); and the
// pruning of old copies by age: large backups after a large backup, small
// copies of a data file after a small copy.
//
// The archive is written under a temporary name that no list or pruning
// matches and takes its final name by a move that never replaces a file, so
// neither a failure half-way nor a sibling's backup of the same second can
// leave or cost a file under a backup's name.
#include <cstdint>
#include <string>

struct LargeBackupOptions {
    // Only its emptiness counts: with an empty tag and an extra file, the
    // extra file and the two shared files are backed up, no data tables.
    std::wstring tag;
    // One more file, put in first (the automatic update passes the running
    // program's own file); empty for none.
    std::wstring extraFile;
    // Ask "Pora wykonać kopię zapasową..." before doing anything.
    bool askFirst = false;
    // Show the outcome.
    bool report = false;
    // Delete old large backups after a successful one.
    bool prune = false;
    // Include the reference tables too.
    bool allTables = false;
    // Make the backup even when large backups are switched off: the safety
    // copy the restore makes before it replaces anything.
    bool evenWhenSwitchedOff = false;
};

// True when the archive was made. Declined (or switched off): today is
// recorded as "Kopia zapasowa - data", nothing is shown and the result is
// false. A backup that finds no data file at all (the data drive offline)
// fails.
bool MakeLargeBackup(const LargeBackupOptions& options);
bool MakeLargeBackup(const std::wstring& tag, const std::wstring& extraFile, bool askFirst, bool report, bool prune,
                     bool allTables);

// The full path of the last large backup made in this run; empty before.
const std::wstring& LastLargeBackup();

// "raport.txt": beside the program, or in the user's folder of the program
// when the program's folder cannot be written. Appending to it never fails
// a backup.
std::wstring LargeBackupReportFile();

// Deletions made by one pruning.
struct PruneTally {
    int count = 0;
    std::int64_t bytes = 0;
};

// One candidate of the pruning of large backups, by full path: skipped when
// it is the backup just made or younger than the day count; with deletion
// set to asking, the user decides (no automatic answer deletes it).
void PruneLargeBackup(const std::wstring& path, PruneTally& tally);
// Deletes the old large backups of the backup directory ("tevKopia*.tev",
// then "tevKopia*.cab") as the settings say and shows the summary.
void PruneLargeBackups();

// After a small copy of dataFile was made (copyJustMade, its name or path):
// with automatic deletion on, and unless the program is closing, deletes
// the data file's older numbered small copies ("Kopia " + period number +
// " " + the file's name) whose age reached the day count.
void PruneSmallCopies(const std::wstring& dataFile, const std::wstring& copyJustMade);
