#pragma once
// Safe name parts for archive files made from folder paths.
#include <string>

// The 18 Polish letters of Windows-1250 to their base letters (ą -> a, Ż -> Z).
std::wstring StripPolishLetters(std::wstring text);

// A folder path as part of a file name: its first 36 characters, lower-cased,
// without Polish letters, " " -> "_", "\" -> ".", ":" dropped, and anything
// else outside "-", ".", "0"-"9", "_", "a"-"z" -> "_"
// ("D:\Moje Pliki\Łąka" -> "d.moje_pliki.laka").
std::wstring FolderArchiveName(const std::wstring& folder);
