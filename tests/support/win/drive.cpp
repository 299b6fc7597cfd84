// drive.exe: starts archiwin.exe and drives its windows as a person would,
// by keys through the system's input queue and clicks of the mouse, saving
// pictures of the windows on the way. The window walk (scripts/window-walk)
// and the installer test (scripts/test-installer) run it; the installed
// program has no test seam, so its real dialogs are answered by keys.
//
//   drive.exe STEP...
//
// Steps, run in order; the first that fails ends the run with exit code 1
// and names itself on stderr:
//   exe:PATH        the program to start (default: archiwin.exe beside drive.exe)
//   shots:FOLDER    where pictures go (default: the current folder)
//   run:ARGUMENTS   starts the program with these arguments
//   wait:TEXT       waits for a window of the program in front whose caption
//                   contains TEXT (any window; TEXT may be empty)
//   dialog:TEXT     the same, but a dialog other than the current window
//                   (the program's dialogs and the system's)
//   main            waits for the main window in front
//   menu            waits for a popup menu of the program
//   gone            waits until the current window is closed or hidden
//   shot:NAME       saves the current window as NAME.png
//   screen:NAME     saves every window of the program, as one picture
//   key:KEYS        one chord: "alt+z", "shift+tab", "enter", "f10", "ctrl+tab"
//   type:TEXT       types the text, character by character
//   click:X,Y       left click in the current window's client area, in units
//   rclick:X,Y      of 96 per inch (scaled to its DPI); a negative number
//                   counts from the right or bottom edge
//   push:TEXT       left click in the middle of the current window's visible
//                   control whose text, without "&", is TEXT (a button)
//   close           asks the current window to close (as its close box)
//   print           writes the current window's caption and message text
//   sleep:MS        waits
//   timeout:MS      the waits' limit from now on (default 30000)
//   end             waits for the program to end; its exit code is printed
//   kill            ends the program at once
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "support/win/capture.h"

namespace {

PROCESS_INFORMATION g_process{};
HWND g_current = nullptr;
std::wstring g_exe, g_shots = L".";
DWORD g_timeout = 30000;

std::wstring ClassOf(HWND w) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return cls;
}

// Asked of the window itself: the text of another process's edit box is
// not its caption.
std::wstring TextOf(HWND w) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             2000, &got))
        return L"";
    text.resize(got);
    return text;
}

bool OwnWindow(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid == g_process.dwProcessId;
}

bool IsDialog(HWND w) {
    return ClassOf(w) == L"#32770" || (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) != 0;
}

bool Running() {
    return g_process.hProcess && WaitForSingleObject(g_process.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> ProgramWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            if (OwnWindow(w) && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits until found() gives a window; false when the time runs out or the
// program ends first.
template <class Find>
bool WaitFor(Find found) {
    for (DWORD waited = 0; waited < g_timeout; waited += 50) {
        if (HWND w = found()) {
            g_current = w;
            // Let it finish painting before anything is sent or saved.
            Sleep(300);
            return true;
        }
        if (!Running()) return false;
        Sleep(50);
    }
    return false;
}

HWND FrontWindow(const std::wstring& caption, bool dialog) {
    HWND w = GetForegroundWindow();
    if (!w || !OwnWindow(w) || !IsWindowVisible(w) || TextOf(w).find(caption) == std::wstring::npos) return nullptr;
    if (dialog && (!IsDialog(w) || w == g_current)) return nullptr;
    return w;
}

bool SendInputs(std::vector<INPUT>& in) {
    return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

WORD KeyCode(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        WORD vk;
    } kNames[] = {
        {L"tab", VK_TAB},       {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE},   {L"space", VK_SPACE},
        {L"up", VK_UP},         {L"down", VK_DOWN},    {L"left", VK_LEFT},    {L"right", VK_RIGHT},
        {L"home", VK_HOME},     {L"end", VK_END},      {L"pgup", VK_PRIOR},   {L"pgdn", VK_NEXT},
        {L"del", VK_DELETE},    {L"back", VK_BACK},    {L"apps", VK_APPS},    {L"alt", VK_MENU},
        {L"ctrl", VK_CONTROL},  {L"shift", VK_SHIFT},
    };
    for (auto& k : kNames)
        if (name == k.name) return k.vk;
    if (name.size() >= 2 && name[0] == L'f') {
        int n = _wtoi(name.c_str() + 1);
        if (n >= 1 && n <= 12) return static_cast<WORD>(VK_F1 + n - 1);
    }
    if (name.size() == 1 && iswalnum(name[0])) return static_cast<WORD>(towupper(name[0]));
    return 0;
}

void Front() {
    if (g_current && GetForegroundWindow() != g_current) {
        SetForegroundWindow(g_current);
        Sleep(100);
    }
}

bool Keys(const std::wstring& chord) {
    std::vector<WORD> keys;
    for (size_t start = 0;;) {
        size_t plus = chord.find(L'+', start);
        WORD vk = KeyCode(chord.substr(start, plus == std::wstring::npos ? plus : plus - start));
        if (!vk) return false;
        keys.push_back(vk);
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    Front();
    std::vector<INPUT> in;
    for (WORD vk : keys) in.push_back(INPUT{INPUT_KEYBOARD, {.ki = {vk, 0, 0, 0, 0}}});
    for (auto k = keys.rbegin(); k != keys.rend(); ++k)
        in.push_back(INPUT{INPUT_KEYBOARD, {.ki = {*k, 0, KEYEVENTF_KEYUP, 0, 0}}});
    bool ok = SendInputs(in);
    Sleep(300);
    return ok;
}

bool Type(const std::wstring& text) {
    Front();
    for (wchar_t c : text) {
        std::vector<INPUT> in = {INPUT{INPUT_KEYBOARD, {.ki = {0, c, KEYEVENTF_UNICODE, 0, 0}}},
                                 INPUT{INPUT_KEYBOARD, {.ki = {0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0, 0}}}};
        if (!SendInputs(in)) return false;
        Sleep(20);
    }
    Sleep(200);
    return true;
}

bool ClickAt(POINT p, bool right) {
    Front();
    SetCursorPos(p.x, p.y);
    Sleep(100);
    DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    std::vector<INPUT> in = {INPUT{INPUT_MOUSE, {.mi = {0, 0, 0, down, 0, 0}}},
                             INPUT{INPUT_MOUSE, {.mi = {0, 0, 0, up, 0, 0}}}};
    bool ok = SendInputs(in);
    Sleep(300);
    return ok;
}

bool Click(const std::wstring& where, bool right) {
    if (!g_current) return false;
    int x = 0, y = 0;
    if (swscanf(where.c_str(), L"%d,%d", &x, &y) != 2) return false;
    UINT dpi = GetDpiForWindow(g_current);
    RECT client;
    GetClientRect(g_current, &client);
    POINT p{MulDiv(x, static_cast<int>(dpi), 96), MulDiv(y, static_cast<int>(dpi), 96)};
    if (x < 0) p.x += client.right;
    if (y < 0) p.y += client.bottom;
    ClientToScreen(g_current, &p);
    return ClickAt(p, right);
}

bool Push(const std::wstring& text) {
    struct Look {
        std::wstring text;
        HWND found = nullptr;
    } look{text};
    EnumChildWindows(
        g_current,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* l = reinterpret_cast<Look*>(lp);
            std::wstring t = TextOf(w);
            std::erase(t, L'&');
            if (!IsWindowVisible(w) || t != l->text) return TRUE;
            l->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&look));
    if (!look.found) return false;
    RECT r;
    GetWindowRect(look.found, &r);
    return ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, false);
}

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buf[65536];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
        fclose(f);
    }
    return bytes;
}

bool Shot(const std::wstring& name, bool everything) {
    RECT r{};
    if (everything) {
        bool first = true;
        for (HWND w : ProgramWindows()) {
            RECT wr;
            GetWindowRect(w, &wr);
            if (first) r = wr;
            else UnionRect(&r, &r, &wr);
            first = false;
        }
        if (first) return false;
    } else {
        if (!g_current || !GetWindowRect(g_current, &r)) return false;
    }
    std::wstring path = g_shots + L"\\" + name + L".png";
    // On a busy machine a window may still be painting: the picture is taken
    // again until two in a row are the same.
    std::string previous;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!CaptureRectPng(r, path)) return false;
        std::string now = FileBytes(path);
        if (now == previous) break;
        previous = std::move(now);
        Sleep(400);
    }
    wprintf(L"  obraz %ls\n", path.c_str());
    return true;
}

// The caption and the texts of the window's children (the message of the
// program's dialog is the plain text of the panel that holds it; a system
// dialog's is in its static controls).
void Print() {
    if (!g_current) return;
    wprintf(L"  okno \"%ls\"\n", TextOf(g_current).c_str());
    EnumChildWindows(
        g_current,
        [](HWND w, LPARAM) -> BOOL {
            std::wstring text = TextOf(w);
            if (IsWindowVisible(w) && !text.empty()) wprintf(L"    %ls: %ls\n", ClassOf(w).c_str(), text.c_str());
            return TRUE;
        },
        0);
    fflush(stdout);
}

bool Run(const std::wstring& arguments) {
    std::wstring cmd = L"\"" + g_exe + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    g_current = nullptr;
    return CreateProcessW(g_exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &g_process);
}

bool Step(const std::wstring& step) {
    size_t colon = step.find(L':');
    std::wstring verb = step.substr(0, colon);
    std::wstring arg = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
    if (verb == L"exe") g_exe = arg;
    else if (verb == L"shots") g_shots = arg;
    else if (verb == L"timeout") g_timeout = static_cast<DWORD>(_wtoi(arg.c_str()));
    else if (verb == L"sleep") Sleep(static_cast<DWORD>(_wtoi(arg.c_str())));
    else if (verb == L"run") return Run(arg);
    else if (verb == L"wait") return WaitFor([&] { return FrontWindow(arg, false); });
    else if (verb == L"dialog") return WaitFor([&] { return FrontWindow(arg, true); });
    else if (verb == L"main")
        return WaitFor([] {
            HWND w = FrontWindow(L"", false);
            return w && !IsDialog(w) && (GetWindowLongW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION ? w : nullptr;
        });
    else if (verb == L"menu")
        return WaitFor([] {
            for (HWND w : ProgramWindows())
                if (ClassOf(w) == L"#32768") return w;
            return HWND{};
        });
    else if (verb == L"gone") {
        for (DWORD waited = 0; waited < g_timeout; waited += 50) {
            if (!IsWindow(g_current) || !IsWindowVisible(g_current)) return true;
            Sleep(50);
        }
        return false;
    } else if (verb == L"shot") return Shot(arg, false);
    else if (verb == L"screen") return Shot(arg, true);
    else if (verb == L"key") return Keys(arg);
    else if (verb == L"type") return Type(arg);
    else if (verb == L"click") return Click(arg, false);
    else if (verb == L"rclick") return Click(arg, true);
    else if (verb == L"push") return Push(arg);
    else if (verb == L"close") return g_current && PostMessageW(g_current, WM_CLOSE, 0, 0);
    else if (verb == L"print") Print();
    else if (verb == L"end") {
        if (!g_process.hProcess || WaitForSingleObject(g_process.hProcess, g_timeout) != WAIT_OBJECT_0) return false;
        DWORD code = 0;
        GetExitCodeProcess(g_process.hProcess, &code);
        wprintf(L"  program zakończony, kod %lu\n", code);
    } else if (verb == L"kill") {
        if (Running()) TerminateProcess(g_process.hProcess, 99);
    } else return false;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    _setmode(_fileno(stdout), _O_U8TEXT);
    _setmode(_fileno(stderr), _O_U8TEXT);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    g_exe = self;
    g_exe = g_exe.substr(0, g_exe.find_last_of(L'\\') + 1) + L"archiwin.exe";
    for (int i = 1; i < argc; ++i) {
        wprintf(L"%ls\n", argv[i]);
        fflush(stdout);
        if (!Step(argv[i])) {
            fwprintf(stderr, L"drive: krok nieudany: %ls\n", argv[i]);
            for (HWND w : ProgramWindows())
                fwprintf(stderr, L"  okno programu: \"%ls\" (%ls)\n", TextOf(w).c_str(), ClassOf(w).c_str());
            if (Running()) TerminateProcess(g_process.hProcess, 99);
            return 1;
        }
    }
    return 0;
}
