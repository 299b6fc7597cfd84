#include "backup_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string Noise(size_t size) {
    std::string out(size, '\0');
    uint32_t x = 2463534242u;
    for (char& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

}  // namespace

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

struct ThreadWindow {
    HWND found = nullptr;
};

// The form shown modally.
BOOL CALLBACK FindModal(HWND hwnd, LPARAM lp) {
    auto* form = dynamic_cast<Form*>(WinControl::FromHandle(hwnd));
    if (form && form->IsModal() && IsWindowVisible(hwnd)) {
        reinterpret_cast<ThreadWindow*>(lp)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool CaptureMessage(const MessageRequest& request, const std::wstring& name) {
    // A watcher beside the dialog's own message loop, whatever that loop lets through.
    const DWORD thread = GetCurrentThreadId();
    bool captured = false;
    std::thread watcher([&] {
        for (int i = 0; i < 200; ++i) {
            Sleep(50);
            ThreadWindow w;
            EnumThreadWindows(thread, FindModal, reinterpret_cast<LPARAM>(&w));
            if (!w.found) continue;
            Sleep(500);  // painted
            captured = CaptureWindowPng(w.found, ShotPath(name));
            PostMessageW(w.found, WM_CLOSE, 0, 0);
            return;
        }
    });
    WindowsResponder().ShowMessage(request);
    watcher.join();
    return captured;
}
