#pragma once
// The archive information file "!!kopia.tev": one INI section per archive
// made during a run ("Dir", "Wersja", "Komentarz"), stored as the first entry
// of every folder backup and set aside as a ".log" file when the run ends.
//
// It lives in the program directory. When that directory cannot be written
// (a program installed under Program Files), it lives in the program's own
// folder of the user's local application data instead, with its ".log"
// copies, so backups still work.
#include <string>

// The folder of the information file, with a trailing backslash: programDir
// when a file can be created there, otherwise the per-user folder (created).
std::wstring InfoFileFolderFor(const std::wstring& programDir);

// The information file of this run: InfoFileFolderFor(ProgramDir()) +
// "!!kopia.tev", decided once per run.
std::wstring InfoFilePath();

// At the end of the run: moves the information file to its name +
// "_yymmdd_hhmm_.log". When a file of that name exists, the information file
// stays and the next run continues it.
void SetAsideInfoFile();
