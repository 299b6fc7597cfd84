#pragma once
// Helpers of the folder backup tests: a sample folder on disk, the system's
// own cabinet extractor as an independent reader, and a hand on the contents
// dialog while it runs modally.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "backup/win/tezawartoscarchiwum.h"
#include "interact/seam.h"
#include "support/scripted_responder.h"

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

// Bytes that do not compress, the same for the same seed.
std::string Noise(size_t size, uint32_t seed = 2463534242u);
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

// Runs show, which opens a window and waits for the user (a modal form of
// the program or the system's folder chooser), saves a picture of that
// window as name in the shots folder and closes it; false when no picture
// was taken.
bool CaptureShown(const std::function<void()>& show, const std::wstring& name);
// The same for a message in the program's own dialog.
bool CaptureMessage(const MessageRequest& request, const std::wstring& name);

// Answers from its script like ScriptedResponder; the interactions named by
// Shoot are first shown in the program's real window and photographed.
class ShootingResponder : public ScriptedResponder {
public:
    // The next interaction of this kind ("message", "list", "folder") is
    // photographed as name.
    ShootingResponder& Shoot(const std::wstring& kind, const std::wstring& name);
    std::vector<bool> pictures;  // one per photograph, true when taken

    int ShowMessage(const MessageRequest& request) override;
    bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                         const std::vector<std::wstring>& lines) override;
    std::optional<std::wstring> ChooseFolder(const std::wstring& title, const std::wstring& start) override;

private:
    std::wstring NextShot(const std::wstring& kind);
    std::vector<std::pair<std::wstring, std::wstring>> shots_;
};

// Clicks a button the way the user does: through its window, so failures
// reach the program's exception handler.
void Press(WinControl* button);
