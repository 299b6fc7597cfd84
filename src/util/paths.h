#pragma once
// Path texts (Windows form, "\" separators). A directory path produced by
// the program ends in a backslash.
#include <string>

// Appends "\" unless the text already ends with it ("" becomes "\").
void AddBackslash(std::wstring& path);
// Removes one trailing "\" if there is one.
void RemoveBackslash(std::wstring& path);
std::wstring WithBackslash(std::wstring path);

// "X:\" for a drive path longer than two characters ("d:\a\b" -> "d:\");
// network paths and anything else come back unchanged.
std::wstring DriveRoot(const std::wstring& path);

// The path up to and including the last backslash that is not its final
// character ("C:\a\b\" -> "C:\a\"); unchanged when it has one backslash or none.
std::wstring ParentDir(const std::wstring& path);

// The file name after the last "\", "/" or ":" ("C:\a\b.txt" -> "b.txt");
// Windows takes "/" as a separator too, and so do paths of other systems.
std::wstring FileNamePart(const std::wstring& path);
// Everything up to and including the last "\", "/" or ":" ("C:\a\b.txt" ->
// "C:\a\").
std::wstring DirectoryPart(const std::wstring& path);
// The extension with its period (".txt"), empty when the name has none.
std::wstring ExtensionPart(const std::wstring& path);
