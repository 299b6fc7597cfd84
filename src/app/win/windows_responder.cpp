// The program's own answers to the modal seam: its dialog windows, the
// system's file and folder choosers and the shell; and the rest of its side
// of the interaction layer.
#include "app/win/windows_responder.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/win/inputbox.h"
#include "app/win/messagelistbox.h"
#include "app/win/progress.h"
#include "app/win/selectform.h"
#include "app/win/warningdialog.h"
#include "interact/programside.h"
#include "interact/seam.h"
#include "ui/win/application.h"
#include "util/win/files.h"

namespace {

std::wstring FilterForDialog(const std::wstring& filter) {
    // "Opis|*.cab|Wszystkie|*.*" → NUL-separated pairs ending with two NULs.
    std::wstring f = filter.empty() ? L"Wszystkie pliki|*.*" : filter;
    for (auto& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    return f;
}

std::optional<std::wstring> FileDialog(const FileChoice& choice, bool save) {
    std::wstring filter = FilterForDialog(choice.filter);
    std::wstring name = choice.fileName;
    name.resize(32768, L'\0');
    OPENFILENAMEW ofn{sizeof(ofn)};
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = choice.initialDir.empty() ? nullptr : choice.initialDir.c_str();
    ofn.lpstrTitle = choice.title.empty() ? nullptr : choice.title.c_str();
    ofn.lpstrDefExt = choice.defaultExt.empty() ? nullptr : choice.defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return std::nullopt;
    name.resize(wcslen(name.c_str()));
    return name;
}

class OwnWindows final : public ModalResponder {
public:
    int ShowMessage(const MessageRequest& r) override { return ShowWarningDialog(r); }
    std::optional<std::wstring> InputText(const std::wstring& caption, const std::wstring& prompt,
                                          const std::wstring& initial) override {
        return ShowInputBox(caption, prompt, initial);
    }
    bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                         const std::vector<std::wstring>& lines) override {
        return ShowMessageListBox(caption, title, lines);
    }
    int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                     int defaultIndex) override {
        return ShowSelectForm(items, caption, title, defaultIndex);
    }
    std::optional<std::wstring> ChooseOpenFile(const FileChoice& c) override { return FileDialog(c, false); }
    std::optional<std::wstring> ChooseSaveFile(const FileChoice& c) override { return FileDialog(c, true); }
    std::optional<std::wstring> ChooseFolder(const std::wstring& title, const std::wstring& start) override {
        BROWSEINFOW bi{};
        bi.hwndOwner = GetActiveWindow();
        bi.lpszTitle = title.c_str();
        bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        bi.lpfn = [](HWND hwnd, UINT msg, LPARAM, LPARAM data) -> int {
            if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
            return 0;
        };
        bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
        PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
        if (!pidl) return std::nullopt;
        wchar_t path[MAX_PATH * 4] = {};
        BOOL ok = SHGetPathFromIDListEx(pidl, path, static_cast<DWORD>(std::size(path)), GPFIDL_DEFAULT);
        CoTaskMemFree(pidl);
        if (!ok) return std::nullopt;
        return std::wstring(path);
    }
    bool ShellOpen(const std::wstring& target, const std::wstring& parameters) override {
        auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(GetActiveWindow(), L"open", target.c_str(),
                                                         parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                                         SW_SHOWNORMAL));
        return r > 32;
    }
    DateTimeValue Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return SystemTimeValue(st);
    }
};

class Program final : public ProgramSide {
public:
    ModalResponder& Windows() override { return WindowsResponder(); }
    ProgressDisplay& Progress() override { return SplashProgress(); }
    std::wstring Title() override { return App().Title(); }
    bool Remembered(const std::wstring& key) override { return AnsweredForGood(key); }
    void FailureRaised() override { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
};

}  // namespace

ModalResponder& WindowsResponder() {
    static OwnWindows responder;
    return responder;
}

void RegisterProgramSide() {
    static Program program;
    SetProgramSide(&program);
}
