#pragma once
// Where the data files of the TEV programs are: each table's path is kept
// under Software\TEV\ścieżki (the machine's value wins over the user's when
// both name existing files) and remembered for the run once resolved.
#include <array>
#include <string>

#include "util/tables.h"

// The key of the table paths, under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
inline constexpr wchar_t kTablePathsKey[] = L"Software\\TEV\\ścieżki";

// The program's directory, or the documents folder when the program runs
// from the desktop or from a CD-ROM. Ends in a backslash.
std::wstring DefaultDataDir();

// The table's file: the registered path (of the machine and the user, the
// first whose file exists, else the first registered, else the suggestion),
// else the default file in DefaultDataDir. A standard user's writes land in
// his own key while an administrator's older value stays machine-wide, so a
// value whose file has gone yields to one whose file is there. With search set, a
// registered file that has gone is first looked for on the disk and the user
// asked to take the one found. The path is recorded in both roots and as the
// table's current path, unless neither the file nor its folder exists.
std::wstring ResolveTablePath(int table, const std::wstring& suggested, bool search);

// The file ResolveTablePath(table, L"", false) gives, without recording
// anything: neither in the registry nor as the table's current path.
std::wstring LocateTablePath(int table);

// Registers the table's path in both roots (the machine's first).
void StoreTablePath(int table, const std::wstring& path);

// The path resolved for the table in this run (empty before); a move of the
// data files sets it.
std::wstring CurrentTablePath(int table);
void SetCurrentTablePath(int table, const std::wstring& path);

// Every table's path (empty for one not known).
using TablePathSet = std::array<std::wstring, kTableCount>;
// The paths resolved in this run.
TablePathSet CurrentTablePaths();

// The table whose current file has the name of the argument's file (the last
// one when several do); 0 when none, as for table 0 itself.
int TableForFile(const std::wstring& name);
// The identifier of TableForFile, or "(nieznany plik!)" for 0.
std::wstring TableIdForFile(const std::wstring& name);
// The full path where a file of that name belongs: a resolved table's file,
// the shared settings file, the NIP-exceptions or the interest-rate file;
// empty when none.
std::wstring TargetForFile(const std::wstring& name);
// The same three among the given paths instead of those resolved in the run.
int TableForFile(const std::wstring& name, const TablePathSet& paths);
std::wstring TableIdForFile(const std::wstring& name, const TablePathSet& paths);
std::wstring TargetForFile(const std::wstring& name, const TablePathSet& paths);
