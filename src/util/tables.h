#pragma once
// The data tables of the TEV programs: each data file is known by its table
// number (0..43), its identifier (the value name under Software\TEV\ścieżki)
// and its default file name. Number 0 also means "no table".
#include <string>

constexpr int kTableCount = 44;

struct TableInfo {
    const wchar_t* id;
    const wchar_t* defaultFileName;
};

// The table's entry; out-of-range numbers give table 0.
const TableInfo& Table(int table);

// The dictionaries shipped with the programs (postal codes, tax offices,
// banks, ...). Backups and data sets leave them out. Numbers outside 0..47
// are never members.
bool IsReferenceTable(int table);
