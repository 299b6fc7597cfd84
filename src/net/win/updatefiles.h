#pragma once
// The files of the automatic update on disk: where they go, how a download
// replaces a file only once it is whole, and whether an executable carries a
// valid signature.
#include <string>
#include <string_view>

// The program's own folder of the current user ("%LOCALAPPDATA%\TEV\<product>\"),
// created when missing: the downloads, "a.tev", "aa.rap" and the kept copy go
// there when the user may not write beside the program (a standard user of a
// program in Program Files).
std::wstring PerUserProgramDir(const std::wstring& product);
// Whether a folder can be written: CanCreateFilesIn of util/win/files.h.
// The download folder: the program's folder (the documents folder when the
// program runs from the desktop), or the per-user folder when that one
// cannot be written; with a trailing backslash.
std::wstring UpdateDirFor(const std::wstring& product);

// Writes bytes to a new temporary file in the folder and returns its path;
// empty (and nothing left behind) when it could not be written whole.
std::wstring WriteTemporary(const std::wstring& dir, std::string_view bytes);
// Saves bytes as the file: a temporary file in the same folder first, which
// then replaces the old file in one step. False (the old file as it was)
// when anything failed.
bool SaveWhole(const std::wstring& path, std::string_view bytes);

// The file's Authenticode signature verifies against the system's trusted
// roots (no network: revocation is not checked).
bool SignatureVerifies(const std::wstring& path);
