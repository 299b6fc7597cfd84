// The program's own answers to the modal seam: the real dialogs and the
// shell. The message, input, list and pick dialogs here are plain stand-ins
// until the program's own dialog windows take their place.
#include <windows.h>
#include <commdlg.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/seam.h"

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

// A small modal form with a prompt, an edit and OK/Anuluj.
std::optional<std::wstring> InputForm(const std::wstring& caption, const std::wstring& prompt,
                                      const std::wstring& initial) {
    Form form(BorderStyle::Dialog);
    form.SetCaption(caption);
    form.SetColor(Rgb(240, 242, 227));
    form.SetClientSize(399, 110);
    bool masked = !prompt.empty() && prompt[0] == L'#';
    auto* label = form.Add<Label>(masked ? prompt.substr(1, 199) : prompt);
    label->SetBounds(12, 12, 375, 30);
    label->SetWordWrap(true);
    auto* edit = form.Add<Edit>(initial);
    edit->SetBounds(12, 44, 375, 21);
    if (masked) edit->SetPasswordChar(L'*');
    auto* ok = form.Add<Button>(L"OK");
    ok->SetBounds(226, 76, 75, 25);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    auto* cancel = form.Add<Button>(L"Anuluj");
    cancel->SetBounds(312, 76, 75, 25);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    form.CenterOnScreen();
    form.OnShow = [&](Control*) {
        edit->SetFocus();
        edit->SelectAll();
    };
    if (form.ShowModal() != mrOk) return std::nullopt;
    return edit->Text();
}

int PickForm(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
             int defaultIndex) {
    Form form(BorderStyle::Sizeable);
    form.SetCaption(caption);
    form.SetColor(Rgb(240, 242, 227));
    form.SetClientSize(444, 386);
    form.SetBorderWidth(8);
    auto* label = form.Add<Label>(title);
    label->SetHeight(20);
    label->SetAlign(Align::Top);
    label->SetVisible(!title.empty());
    auto* bottom = form.Add<Panel>();
    bottom->SetParentColor(true);
    bottom->SetHeight(33);
    bottom->SetAlign(Align::Bottom);
    auto* list = form.Add<ListBox>();
    list->SetAlign(Align::Client);
    for (auto& i : items) list->Add(i.substr(0, 1200));
    list->SetItemIndex(defaultIndex);
    auto* cancel = bottom->Add<Button>(L"Anuluj");
    cancel->SetBounds(0, 8, 75, 25);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    auto* ok = bottom->Add<Button>(L"&OK");
    ok->SetBounds(83, 8, 345, 25);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    list->OnDblClick = [&](Control*) { form.SetModalResult(mrOk); };
    form.CenterOnScreen();
    if (form.ShowModal() != mrOk) return defaultIndex;
    return list->ItemIndex();
}

class Windows final : public ModalResponder {
public:
    int ShowMessage(const MessageRequest& r) override {
        std::wstring text = r.body.empty() ? r.headline : r.headline + L"\n\n" + r.body;
        bool question = r.headline.find(L'?') != std::wstring::npos;
        UINT type = question ? MB_YESNO : r.body.empty() ? MB_OK : MB_OKCANCEL;
        if (!r.headline.empty() && r.headline[0] == L'%') type |= MB_ICONSTOP;
        else if (question) type |= MB_ICONQUESTION;
        else if (r.headline.find(L'!') != std::wstring::npos) type |= MB_ICONEXCLAMATION;
        else type |= MB_ICONINFORMATION;
        int answer = MessageBoxW(GetActiveWindow(), text.c_str(), r.caption.c_str(), type | MB_TASKMODAL);
        return answer == IDOK || answer == IDYES ? 1 : 2;
    }
    std::optional<std::wstring> InputText(const std::wstring& caption, const std::wstring& prompt,
                                          const std::wstring& initial) override {
        return InputForm(caption, prompt, initial);
    }
    bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                         const std::vector<std::wstring>& lines) override {
        std::wstring text = title;
        for (auto& l : lines) text += L"\n" + l;
        return MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OKCANCEL | MB_TASKMODAL) == IDOK;
    }
    int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                     int defaultIndex) override {
        return PickForm(items, caption, title, defaultIndex);
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
        double v = 0;
        SystemTimeToVariantTime(&st, &v);
        // VariantTime drops the milliseconds.
        return v + st.wMilliseconds / 86400000.0;
    }
};

}  // namespace

ModalResponder& WindowsResponder() {
    static Windows responder;
    return responder;
}
