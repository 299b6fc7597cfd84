#pragma once
// TAppEraser: erases files of the running program, and its folder when that
// is left empty, after the program has ended. It writes a batch script into
// the user's temporary folder and starts it hidden; the script retries each
// file a second apart until the program has let go of it (with a limit, so
// that a file that can never be deleted does not keep a hidden script
// running for ever), removes the folder when asked and deletes itself
// (cleanup/eraserscript.h says how the script is written).
//
// A shell special folder (the desktop, the documents, the program files...)
// or a drive root is never removed, empty or not.
#include <string>
#include <vector>

// A folder no eraser or cleanup removes: a drive root or a shell special
// folder of the current user or of all users (trailing backslash and letter
// case do not matter).
bool IsProtectedFolder(const std::wstring& path);

class TAppEraser {
public:
    TAppEraser();
    // Runs Execute when AutoActive is set.
    ~TAppEraser();
    TAppEraser(const TAppEraser&) = delete;
    TAppEraser& operator=(const TAppEraser&) = delete;

    // Names of the files, relative to Path (only their file-name parts
    // count); "*AppName*" (any case) is the running program's file name.
    std::vector<std::wstring> Files{L"*AppName*"};
    // The files' folder; "*AppPath*" (any case) is the running program's.
    std::wstring Path = L"*AppPath*";
    bool DelPathIfEmpty = false;
    bool AutoActive = false;
    // Attempts per file, a second apart.
    int Attempts = 300;

    // True when the script was started. False, with nothing left behind,
    // when the folder or every file is missing, a name cannot be written in
    // the console's code page, or the script cannot be written or started.
    bool Execute();
    // The script the last successful Execute started.
    const std::wstring& ScriptPath() const { return scriptPath_; }

private:
    std::wstring scriptPath_;
};
