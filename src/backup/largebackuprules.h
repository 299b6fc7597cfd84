#pragma once
// The rules of large backups and of the pruning of old copies that need no
// system: the backups' names, which files the pruning may consider, the age
// of a file counted from today's midnight, the texts of the reports and the
// items of the two lists (the backups available for a restore, the files of
// one backup).
#include <cstdint>
#include <string>

#include "util/datetime.h"

// "tevKopiaZapasowa_" + yyyymmdd_hhnnss + ".tev"; with a number (0..99) when
// that name is taken: "tevKopiaZapasowa_20020619_222217_57.tev", which still
// ends in ".tev", so the restore list and the pruning see it.
std::wstring LargeBackupName(DateTimeValue moment);
std::wstring LargeBackupName(DateTimeValue moment, int number);

// A file the pruning of large backups may consider: its name begins with
// "tevKopia" and ends in ".tev" or ".cab" (any letter case). The system's
// search also matches the short forms of long names, so the names it finds
// are checked again.
bool IsPrunableBackupName(const std::wstring& fileName);
// A file the restore list shows: "tevKopia" anywhere before ".cab" or ".tev".
bool IsListedBackupName(const std::wstring& fileName);

// A small copy of dataFileName made by the program: "Kopia " + a period
// number (digits only) + " " + the data file's name, letter case aside. The
// user's own "Kopia przed remanentem Faktury.dat" is not one.
bool IsNumberedSmallCopy(const std::wstring& fileName, const std::wstring& dataFileName);

// The age of a file in days: today's midnight minus the file's local
// last-write time (with its time of day), so a file made at 15:00 is 20.375
// days old at any time of the 21st day after.
double AgeInDays(DateTimeValue fileTime, DateTimeValue now);
// Old enough to delete: the age has reached the day count (a tie included).
bool OldEnough(DateTimeValue fileTime, DateTimeValue now, int days);

// Thousands of bytes, rounded down ("999 bytes" give 0).
std::int64_t KiloBytes(std::int64_t bytes);

// The registry's day number: whole days since 30 December 1899.
std::wstring DayNumberText(DateTimeValue moment);

// "Kopia zapasowa została wykonana pomyślnie." with the path, the size in kB,
// how many files it holds and how long it took (the span plus one second).
std::wstring LargeBackupReport(const std::wstring& path, std::int64_t bytes, int files, DateTimeValue span);
// "Usunąłem stare, niepotrzebne kopie zapasowe." with the count and the kB.
std::wstring PruneSummary(int count, std::int64_t bytes);

// An item of the restore tab's list: the path, then the day in words and
// the size in bold, the path hidden, and the link "Odtwórz z tej kopii"
// whose target is the path.
std::wstring AvailableBackupItem(const std::wstring& path, DateTimeValue fileDate, DateTimeValue today,
                                 std::int64_t size);

// An item of the restore dialog's list: the entry's name and target hidden,
// the name in bold, the table's identifier, the stored date, the size, and
// "jako: " with a link to the target.
std::wstring BackupEntryItem(const std::wstring& entryName, const std::wstring& target, const std::wstring& tableId,
                             DateTimeValue fileDate, std::int64_t size);
