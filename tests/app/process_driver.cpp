#include "process_driver.h"

#include <shellapi.h>

#include <filesystem>

std::wstring ProgramUnderTest() {
    // Wine shows the Unix root as drive Z:.
    std::wstring unix = std::filesystem::path(ARCHIWIN_EXE_UNIX).wstring();
    for (auto& c : unix)
        if (c == L'/') c = L'\\';
    return L"Z:" + unix;
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"archiwin_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::wstring TempDir::CopyProgram(const std::wstring& fileName) const {
    std::wstring target = path_ + L"\\" + fileName;
    CopyFileW(ProgramUnderTest().c_str(), target.c_str(), FALSE);
    return target;
}

ProgramProcess::ProgramProcess(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring cmd = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_);
}

ProgramProcess::~ProgramProcess() {
    if (Running()) Terminate();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool ProgramProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ProgramProcess::Terminate() {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
}

long ProgramProcess::WaitExit(DWORD ms) {
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

namespace {

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (s->className && wcscmp(cls, s->className) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

HWND Find(DWORD pid, const wchar_t* className) {
    Search s{pid, className};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace

HWND ProgramProcess::WaitWindow(const wchar_t* className, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (HWND w = Find(pid(), className)) return w;
        if (!Running()) return nullptr;
        Sleep(50);
    }
    return nullptr;
}

HWND ProgramProcess::MessageWindow() const { return Find(info_.dwProcessId, L"#32770"); }

HWND ProgramProcess::MainWindow() const { return Find(info_.dwProcessId, L"ArchiwinControl"); }

void AnswerMessage(HWND dialog, bool yes) {
    // The buttons present decide which command means yes or no.
    bool yesNo = GetDlgItem(dialog, IDYES) != nullptr;
    WPARAM id = yesNo ? (yes ? IDYES : IDNO) : (yes ? IDOK : IDCANCEL);
    PostMessageW(dialog, WM_COMMAND, id, 0);
}

std::wstring MessageText(HWND dialog) {
    // The static control that holds the message.
    HWND text = GetDlgItem(dialog, 0xFFFF);
    wchar_t buf[4096] = {};
    GetWindowTextW(text ? text : dialog, buf, 4096);
    return buf;
}
