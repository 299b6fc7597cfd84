#include "process_driver.h"

#include <shellapi.h>

#include <filesystem>
#include <initializer_list>

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

constexpr wchar_t kSystemMessageBox[] = L"#32770";
constexpr wchar_t kProgramWindow[] = L"ArchiwinControl";

std::wstring ClassOf(HWND w) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return cls;
}

std::wstring TextOf(HWND w) {
    wchar_t buf[4096] = {};
    GetWindowTextW(w, buf, 4096);
    return buf;
}

// Every window of the program has the window layer's class; its dialogs have
// the dialog frame, its main window a caption bar, its progress window
// neither.
bool IsProgramDialog(HWND w) {
    return ClassOf(w) == kProgramWindow && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) != 0;
}

bool IsProgramMain(HWND w) {
    return ClassOf(w) == kProgramWindow && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) == 0 &&
           (GetWindowLongW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

// A class name of "#32770" asks for a question window (the program's own
// dialog or a system message box), the layer's class for the main window,
// nullptr for any window.
bool Matches(HWND w, const wchar_t* className) {
    if (!className) return true;
    if (wcscmp(className, kSystemMessageBox) == 0) return ClassOf(w) == kSystemMessageBox || IsProgramDialog(w);
    if (wcscmp(className, kProgramWindow) == 0) return IsProgramMain(w);
    return ClassOf(w) == className;
}

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w) || !Matches(w, s->className)) return TRUE;
    s->found = w;
    return FALSE;
}

HWND Find(DWORD pid, const wchar_t* className) {
    Search s{pid, className};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The first visible descendant of the class whose text is one of the given.
HWND ChildWithText(HWND parent, const wchar_t* className, std::initializer_list<const wchar_t*> texts) {
    struct Look {
        const wchar_t* className;
        std::initializer_list<const wchar_t*> texts;
        HWND found = nullptr;
    } look{className, texts};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* l = reinterpret_cast<Look*>(lp);
            if (!IsWindowVisible(w) || ClassOf(w) != l->className) return TRUE;
            std::wstring text = TextOf(w);
            for (const wchar_t* t : l->texts) {
                if ((t && text == t) || (!t && !text.empty())) {
                    l->found = w;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&look));
    return look.found;
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

HWND ProgramProcess::MessageWindow() const { return Find(info_.dwProcessId, kSystemMessageBox); }

HWND ProgramProcess::MainWindow() const { return Find(info_.dwProcessId, kProgramWindow); }

void AnswerMessage(HWND dialog, bool yes) {
    if (ClassOf(dialog) == kSystemMessageBox) {
        // The buttons present decide which command means yes or no.
        bool yesNo = GetDlgItem(dialog, IDYES) != nullptr;
        WPARAM id = yesNo ? (yes ? IDYES : IDNO) : (yes ? IDOK : IDCANCEL);
        PostMessageW(dialog, WM_COMMAND, id, 0);
        return;
    }
    HWND button = yes ? ChildWithText(dialog, L"Button", {L"&OK", L"&Tak", L"OK"})
                      : ChildWithText(dialog, L"Button", {L"&Anuluj", L"&Nie", L"Anuluj"});
    // A message with one button closes as a cancelled one when told "no".
    if (!button) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

std::wstring MessageText(HWND dialog) {
    if (ClassOf(dialog) == kSystemMessageBox) {
        // The static control that holds the message.
        HWND text = GetDlgItem(dialog, 0xFFFF);
        return TextOf(text ? text : dialog);
    }
    // The program's dialog carries its message, as plain text, on the panel
    // that holds it.
    HWND panel = ChildWithText(dialog, kProgramWindow, {nullptr});
    return panel ? TextOf(panel) : TextOf(dialog);
}
