#pragma once
// The main window's "Odtwórz kopię zapasową".
#include <string>

// The open dialog in the program directory, then ShowBackup.
void OpenBackup();
// Shows the archive's contents and restore dialog modally; raises when the
// file does not exist.
void ShowBackup(const std::wstring& path);
