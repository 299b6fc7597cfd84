#pragma once
// Names and places of a folder backup: the proposed archive name and the
// directory each file takes inside the archive.
#include <string>

#include "util/datetime.h"

// The archive information file: its name beside the program and inside
// every folder backup (stored first, without a directory).
inline constexpr wchar_t kInfoFileName[] = L"!!kopia.tev";

// The folder as the information file records it: without one trailing
// backslash, so a drive root "D:\" becomes "D:".
std::wstring BackupFolderText(std::wstring folder);

// "_yymmdd_hhmm" of the given time.
std::wstring ArchiveTimeStamp(DateTimeValue now);

// dir + "kopia_" + FolderArchiveName(folder) + "_yymmdd_hhmm" + ".cab".
std::wstring DefaultArchiveName(const std::wstring& dir, const std::wstring& folder, DateTimeValue now);

// The directory of item inside folder, without leading or trailing
// backslash: "" for a file directly in the folder, "sub\deeper" below it. The
// information file always gets "". Folder and item compare ignoring case.
std::wstring EntryRelPath(const std::wstring& item, const std::wstring& folder, const std::wstring& infoFile);
