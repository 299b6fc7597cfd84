#pragma once
// Helpers of the folder backup tests: a sample folder on disk, the system's
// own cabinet extractor as an independent reader, and a hand on the contents
// dialog while it runs modally.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "backup/win/tezawartoscarchiwum.h"
#include "interact/seam.h"

// A folder to back up, in a fresh temporary place: Polish names, nested
// subfolders, an empty file and a hidden one. Removed at the end.
class SampleFolder {
public:
    SampleFolder();
    ~SampleFolder();
    SampleFolder(const SampleFolder&) = delete;
    SampleFolder& operator=(const SampleFolder&) = delete;

    std::wstring Path(const std::wstring& relative) const { return folder + L"\\" + relative; }
    // Every file below the folder, by relative path, with its bytes.
    std::map<std::wstring, std::string> Contents() const;

    std::wstring root;    // the temporary place, with a trailing backslash
    std::wstring folder;  // the folder to back up, without one
    std::wstring work;    // beside it, for archives and extractions, with one
};

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
// Files below a folder by relative path with their bytes.
std::map<std::wstring, std::string> FolderContents(const std::wstring& folder);
void RemoveTree(const std::wstring& path);
// Moves a file's last-write time by whole days.
void ShiftWriteTime(const std::wstring& path, int days);

// Extracts an archive with the platform's cabinet services (extrac32.exe,
// through cabinet.dll); true when the tool ended with success.
bool ExtractWithSystem(const std::wstring& archive, const std::wstring& folder);

// Runs action on the contents dialog from inside its modal loop once it is
// on screen; the dialog is closed with "Anuluj" afterwards unless the action
// closed it.
void WhenContentsShown(std::function<void(TeZawartoscArchiwum&)> action);

// Shows a message with the program's own dialog, saves a picture of it as
// name in the shots folder and closes it; false when no picture was taken.
bool CaptureMessage(const MessageRequest& request, const std::wstring& name);

// Clicks a button the way the user does: through its window, so failures
// reach the program's exception handler.
void Press(WinControl* button);
