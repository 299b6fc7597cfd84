#pragma once
// What stands in a backup's way, found out and said in Polish: files that
// cannot be read, and a place where the archive cannot be written.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Why a file cannot be read, from the system's error number.
std::wstring ReadProblemText(DWORD error);

// The files that cannot be opened for reading now, each with why. They are
// opened as the cabinet writer opens them (others may read and write).
std::vector<std::pair<std::wstring, std::wstring>> UnreadableFiles(const std::vector<std::wstring>& files);

// Why no archive can be written at path (its folder missing or closed to
// writing, a read-only file of that name, too little room for needBytes);
// empty when nothing is found wrong.
std::wstring ArchiveTargetProblem(const std::wstring& archive, std::int64_t needBytes = 0);
