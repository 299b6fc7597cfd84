#pragma once
// Open, save and folder choices. A cancelled file choice raises a failure, so
// the operation that asked ends with a message.
#include <string>

// filter: "Opis|*.ext|Opis|*.ext". The proposed name's extension is the
// default one. Cancelling raises "Nie wybrano żadnego pliku.".
std::wstring ChooseOpenFile(const std::wstring& title, const std::wstring& proposed, const std::wstring& filter);
// Starts in the proposed path's folder. Cancelling raises
// title + ": Nie wybrano lokalizacji." with the stop mark.
std::wstring ChooseSaveFile(const std::wstring& title, const std::wstring& proposed, const std::wstring& filter);
// The chosen folder with a trailing backslash; empty when cancelled.
std::wstring ChooseFolder(const std::wstring& title, const std::wstring& start);
