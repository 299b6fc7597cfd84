#include "backup_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "app/win/windows_responder.h"
#include "support/win/capture.h"

namespace fs = std::filesystem;

namespace {

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text + std::to_string(i) + "\r\n";
    return out;
}

}  // namespace

std::string Noise(size_t size, uint32_t seed) {
    std::string out(size, '\0');
    uint32_t x = seed;
    for (char& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

SampleFolder::SampleFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"archiwin_kopia_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++serial) + L"\\";
    folder = root + L"Firma Łódź";
    work = root + L"robocze\\";
    fs::create_directories(fs::path(folder) / L"Księgi" / L"Rok 2026" / L"Ćwiczenia");
    fs::create_directories(fs::path(work));
    WriteBytes(Path(L"zażółć gęślą jaźń.txt"), Repeated("Faktura VAT nr ", 3000));
    WriteBytes(Path(L"pusty.txt"), "");
    WriteBytes(Path(L"ukryty.dat"), "ukryte dane");
    SetFileAttributesW(Path(L"ukryty.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(Path(L"Księgi\\styczeń.txt"), Repeated("Przychód ", 500));
    WriteBytes(Path(L"Księgi\\Rok 2026\\grudzień.bin"), Noise(70000));
    WriteBytes(Path(L"Księgi\\Rok 2026\\Ćwiczenia\\ósemka.txt"), "8");
}

SampleFolder::~SampleFolder() { RemoveTree(root); }

std::map<std::wstring, std::string> SampleFolder::Contents() const { return FolderContents(folder); }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<std::wstring, std::string> FolderContents(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    if (!fs::exists(fs::path(folder))) return files;
    for (const auto& e : fs::recursive_directory_iterator(fs::path(folder)))
        if (e.is_regular_file())
            files[fs::relative(e.path(), fs::path(folder)).wstring()] = ReadBytes(e.path().wstring());
    return files;
}

void RemoveTree(const std::wstring& path) {
    std::error_code ec;
    if (!fs::exists(fs::path(path), ec)) return;
    for (const auto& e : fs::recursive_directory_iterator(fs::path(path), ec))
        SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(fs::path(path), ec);
}

void ShiftWriteTime(const std::wstring& path, int days) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    FILETIME written;
    GetFileTime(h, nullptr, nullptr, &written);
    ULARGE_INTEGER t{{written.dwLowDateTime, written.dwHighDateTime}};
    t.QuadPart += static_cast<int64_t>(days) * 864000000000LL;
    written = {t.LowPart, t.HighPart};
    SetFileTime(h, nullptr, nullptr, &written);
    CloseHandle(h);
}

bool ExtractWithSystem(const std::wstring& archive, const std::wstring& folder) {
    std::wstring command = L"extrac32.exe /Y /E /L \"" + folder + L"\" \"" + archive + L"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code == 0;
}

namespace {

std::function<void(TeZawartoscArchiwum&)> pendingAction;

BOOL CALLBACK FindContents(HWND hwnd, LPARAM found) {
    auto* dialog = dynamic_cast<TeZawartoscArchiwum*>(WinControl::FromHandle(hwnd));
    if (dialog && IsWindowVisible(hwnd)) {
        *reinterpret_cast<TeZawartoscArchiwum**>(found) = dialog;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    TeZawartoscArchiwum* dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindContents, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, id);
    auto action = std::move(pendingAction);
    pendingAction = nullptr;
    try {
        action(*dialog);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "exception in the dialog's action: " << e.what();
    } catch (...) {
        ADD_FAILURE() << "exception in the dialog's action";
    }
    if (dialog->ModalResult() == mrNone) dialog->SetModalResult(mrCancel);
}

}  // namespace

void WhenContentsShown(std::function<void(TeZawartoscArchiwum&)> action) {
    pendingAction = std::move(action);
    SetTimer(nullptr, 0, 20, OnTimer);
}

void Press(WinControl* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

namespace {

struct ThreadWindows {
    std::set<HWND> before;  // on screen before the window looked for
    HWND found = nullptr;
};

BOOL CALLBACK ListVisible(HWND hwnd, LPARAM lp) {
    if (IsWindowVisible(hwnd)) reinterpret_cast<ThreadWindows*>(lp)->before.insert(hwnd);
    return TRUE;
}

// The window that came to wait for the user: a form shown modally, or a
// system dialog (the folder chooser).
BOOL CALLBACK FindModal(HWND hwnd, LPARAM lp) {
    auto* w = reinterpret_cast<ThreadWindows*>(lp);
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || w->before.count(hwnd)) return TRUE;
    auto* form = dynamic_cast<Form*>(WinControl::FromHandle(hwnd));
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if ((form && form->IsModal()) || std::wstring(cls) == L"#32770") {
        w->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool CaptureShown(const std::function<void()>& show, const std::wstring& name) {
    // A watcher beside the window's own message loop, whatever that loop lets through.
    const DWORD thread = GetCurrentThreadId();
    ThreadWindows shown;
    EnumThreadWindows(thread, ListVisible, reinterpret_cast<LPARAM>(&shown));
    bool captured = false;
    std::thread watcher([&] {
        for (int i = 0; i < 200; ++i) {
            Sleep(50);
            ThreadWindows w{shown.before};
            EnumThreadWindows(thread, FindModal, reinterpret_cast<LPARAM>(&w));
            if (!w.found) continue;
            Sleep(700);  // painted, the chooser's tree filled
            captured = CaptureWindowPng(w.found, ShotPath(name));
            PostMessageW(w.found, WM_CLOSE, 0, 0);
            return;
        }
    });
    show();
    watcher.join();
    return captured;
}

bool CaptureMessage(const MessageRequest& request, const std::wstring& name) {
    return CaptureShown([&] { WindowsResponder().ShowMessage(request); }, name);
}

ShootingResponder& ShootingResponder::Shoot(const std::wstring& kind, const std::wstring& name) {
    shots_.push_back({kind, name});
    return *this;
}

std::wstring ShootingResponder::NextShot(const std::wstring& kind) {
    for (auto it = shots_.begin(); it != shots_.end(); ++it)
        if (it->first == kind) {
            std::wstring name = it->second;
            shots_.erase(it);
            return name;
        }
    return L"";
}

int ShootingResponder::ShowMessage(const MessageRequest& request) {
    if (const std::wstring name = NextShot(L"message"); !name.empty())
        pictures.push_back(CaptureShown([&] { WindowsResponder().ShowMessage(request); }, name));
    return ScriptedResponder::ShowMessage(request);
}

bool ShootingResponder::ShowMessageList(const std::wstring& caption, const std::wstring& title,
                                        const std::vector<std::wstring>& lines) {
    if (const std::wstring name = NextShot(L"list"); !name.empty())
        pictures.push_back(CaptureShown([&] { WindowsResponder().ShowMessageList(caption, title, lines); }, name));
    return ScriptedResponder::ShowMessageList(caption, title, lines);
}

std::optional<std::wstring> ShootingResponder::ChooseFolder(const std::wstring& title, const std::wstring& start) {
    if (const std::wstring name = NextShot(L"folder"); !name.empty())
        pictures.push_back(CaptureShown([&] { WindowsResponder().ChooseFolder(title, start); }, name));
    return ScriptedResponder::ChooseFolder(title, start);
}
