#pragma once
// Drives copies of archiwin.exe in their own processes: starts them, finds
// their windows, answers their questions, closes them.
#include <windows.h>

#include <string>
#include <vector>

// The built program, as a Windows path.
std::wstring ProgramUnderTest();

// A fresh folder for one test, deleted by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::wstring& path() const { return path_; }
    // Copies the program here under the given file name; returns its path.
    std::wstring CopyProgram(const std::wstring& fileName) const;

private:
    std::wstring path_;
};

class ProgramProcess {
public:
    ProgramProcess(const std::wstring& exe, const std::wstring& arguments);
    ~ProgramProcess();  // terminates the process if it still runs

    DWORD pid() const { return info_.dwProcessId; }
    // Waits for the process to end; its exit code, or -1 on timeout.
    long WaitExit(DWORD ms);
    bool Running() const;
    void Terminate();

    // Waits for a visible top-level window of the process of this class
    // (nullptr: any); null on timeout. "#32770" stands for a question window
    // (the program's own dialog or a system message box) and the window
    // layer's class "ArchiwinControl" for the main window.
    HWND WaitWindow(const wchar_t* className, DWORD ms);
    // The question or message box the process shows, if any.
    HWND MessageWindow() const;
    // The main window (the program's own window class), if shown.
    HWND MainWindow() const;

private:
    PROCESS_INFORMATION info_{};
};

// Presses "yes"/"OK" (true) or "no"/"cancel" (false) in a question window
// (a message with only "OK" is closed for "no").
void AnswerMessage(HWND dialog, bool yes);
// The text of a question window.
std::wstring MessageText(HWND dialog);
