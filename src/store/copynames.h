#pragma once
// The names of the files kept beside a data file: its small copies, its
// emergency copies and the new content while a save is being written. The
// cleanup and the pruning of small copies find them by these names.
//
//   small copy            "Kopia " + period number + " " + name
//                         ("Kopia 244 Faktury.dat" on 19 June 2002)
//   after a failed load   "_akz_" + yymmdd_hhmmss_ + 0..78 + name + ".akz"
//                         ("_akz_020619_222217_42Faktury.dat.akz")
//   after another program wrote the file meanwhile
//                         name + ".akz." + yyyymmdd.hhnnss
//                         ("Faktury.dat.akz.20020619.222217")
//   a save being written  "~" + name + "." + process number + ".zapis"
//
// All of them lie in the data file's directory.
#include <string>

#include "util/datetime.h"

// The period of a small copy: the year's last two digits without leading
// zeros, then month × 7 + day div 7 ("244" for 19 June 2002, "107" for
// 5 January 2010). A new period starts on the 1st, 7th, 14th, 21st and 28th.
std::wstring SmallCopyPeriod(DateTimeValue day);
std::wstring SmallCopyName(const std::wstring& dataFile, DateTimeValue day);
// The mask of the small copies of a data file: its directory + "Kopia * " + its name.
std::wstring SmallCopyMask(const std::wstring& dataFile);

// The emergency copy of a file that could not be read; number 0..78.
std::wstring LoadEmergencyCopyName(const std::wstring& dataFile, DateTimeValue moment, int number);
inline constexpr int kLoadEmergencyNumbers = 79;
// Masks of the emergency copies in a directory.
inline constexpr wchar_t kLoadEmergencyMask[] = L"_akz_*.akz";
inline constexpr wchar_t kSaveEmergencyMask[] = L"*.akz.*";

// The emergency copy of the content a save did not write over another
// program's file.
std::wstring SaveEmergencyCopyName(const std::wstring& dataFile, DateTimeValue moment);

// Where a save writes the new content before it replaces the file. No mask
// of the copies, the backups or the data files matches it.
std::wstring PendingSaveName(const std::wstring& dataFile, unsigned long processId);
inline constexpr wchar_t kPendingSaveMask[] = L"~*.zapis";
