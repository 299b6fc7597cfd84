#pragma once
// The rules of the cleanup wizard that need no system: the names of the
// copies it offers, what "older than a week" means, the texts of its list
// items and totals, and which items each mode ticks.
#include <cstdint>
#include <string>
#include <vector>

#include "util/datetime.h"

// The three ways through the wizard chosen on its first page.
enum class CleanupMode {
    RemoveEverything,  // "wywal wszystko"
    RemoveUnneeded,    // "usuń zbędne elementy"
    ChooseByHand,      // "usuń niektóre komponenty"
};

// Small copies of data files: "Kopia " + a number + " " + the data file's
// name ("Kopia 244 Faktury.dat"), any letter case.
bool IsSmallCopyName(const std::wstring& name);
// Emergency copies of data files: "<file>.akz.<anything>.dat", the copy
// made when another program wrote to the file meanwhile,
// "<file>.akz.yyyymmdd.hhnnss", and the copy of a file that could not be
// read, "_akz_<moment>_<number><file>.akz" (store/copynames.h).
bool IsEmergencyCopyName(const std::wstring& name);
// A copy the "Kopie zapasowe" page offers.
inline bool IsDataFileCopyName(const std::wstring& name) { return IsSmallCopyName(name) || IsEmergencyCopyName(name); }

// A company name of the TEV family ("tev" anywhere, any case).
bool IsTevCompany(const std::wstring& companyName);

// "Older than a week": written strictly before midnight seven days before
// today (both in local time).
DateTimeValue WeekBoundary(DateTimeValue now);
bool OlderThanWeek(DateTimeValue written, DateTimeValue now);

// List items; each ends with the file's full path as hidden data.
struct ProgramFacts {
    std::wstring identity;     // the identity text of the version resource
    std::wstring comments;
    std::wstring path;
    std::wstring description;  // FileDescription
    std::int64_t size = 0;
    DateTimeValue written = 0;  // last write, local time
};
std::wstring ProgramItem(const ProgramFacts& p, DateTimeValue today);

struct ShortcutFacts {
    std::wstring product;   // ProductName of the target
    std::wstring path;      // the shortcut file
    std::wstring target;
    std::wstring version;
    std::wstring comments;
};
std::wstring ShortcutItem(const ShortcutFacts& s);

std::wstring CopyItem(const std::wstring& path, std::int64_t size, DateTimeValue modified, DateTimeValue today);
// Data and settings files; one in use starts with "*".
std::wstring FileItem(const std::wstring& path, std::int64_t size, DateTimeValue modified, DateTimeValue today,
                      bool inUse);

// "<b>%d</b> plików, <b>%s</b>" of a page, and the summary's question.
std::wstring TotalsText(int count, std::int64_t bytes);
std::wstring SummaryText(int count, std::int64_t bytes);
// The question before the deletion: the summary's text as plain text and the
// warning about the Recycle Bin.
std::wstring DeletionQuestion(int count, std::int64_t bytes);
std::wstring DeletedText(int count, std::int64_t bytes);

// The pages that list files, as the notebook numbers them.
enum class CleanupPage { Programy = 1, Skroty = 2, KopieZapasowe = 3, BazyDanych = 4, PlikiINI = 5 };

// What a page knows of an item when its second button or the mode ticks it.
struct ItemFacts {
    bool exists = true;
    DateTimeValue written = 0;  // the time the page's rule looks at (local)
    bool inUse = false;         // data and settings files: "*"
    bool tevFile = true;        // a file the TEV programs name or made
    // Shortcuts: the shortcut can still be read, and its target is a program
    // checked on the Programy page.
    bool loadable = true;
    bool targetChecked = false;
};

// The page's own rule (its second button): programs and copies older than a
// week, shortcuts that cannot be read or lead to a program being removed,
// data and settings files not in use. Nothing the TEV programs do not name
// is ever ticked by a rule.
bool RuleTicks(CleanupPage page, const ItemFacts& item, DateTimeValue now);
// What the mode ticks when the page is built: everything the TEV programs
// name ("wywal wszystko"; shortcuts by their rule), the page's rule ("usuń
// zbędne elementy"), nothing ("usuń niektóre komponenty").
bool ModeTicks(CleanupPage page, CleanupMode mode, const ItemFacts& item, DateTimeValue now);

// The summary's paths: each path once (any case), in the order of a
// case-insensitive sort.
std::vector<std::wstring> SummaryPaths(const std::vector<std::wstring>& checked);
