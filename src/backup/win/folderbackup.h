#pragma once
// The main window's "Zrób kopię zapasową folderu": one folder with all its
// subfolders packed into a cabinet, the information file first.
#include <string>

// Folder browser, save dialog, then PackFolder.
void BackupFolder();

// Packs folder (one trailing backslash ignored) into archive after the
// user's confirmation, comment and choice of compression, and reports the
// result. False when the user declined the confirmation; raises on failure.
bool PackFolder(const std::wstring& folder, const std::wstring& archive);
