#include "cleanup/win/shelllink.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "cleanup/shellpaths.h"
#include "util/win/registry.h"

namespace {

std::string Narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

const wchar_t* ShellFolderValue(TShellFolder folder) {
    switch (folder) {
    case TShellFolder::sfDesktop: return L"Desktop";
    case TShellFolder::sfFavorites: return L"Favorites";
    case TShellFolder::sfFonts: return L"Fonts";
    case TShellFolder::sfPersonal: return L"Personal";
    case TShellFolder::sfPrograms: return L"Programs";
    case TShellFolder::sfRecent: return L"Recent";
    case TShellFolder::sfSendTo: return L"SendTo";
    case TShellFolder::sfStartMenu: return L"Start Menu";
    case TShellFolder::sfStartup: return L"Startup";
    case TShellFolder::sfTemplates: return L"Templates";
    case TShellFolder::sfNone: break;
    }
    return nullptr;
}

// The component object library for one call, uninitialised when the call
// initialised it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

// The show command as the file's header stores it (0 when the file is no
// shell link). Some shells' shortcut objects forget it on loading.
int StoredShowCommand(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char header[0x4C] = {};
    DWORD read = 0;
    bool ok = ReadFile(file, header, sizeof(header), &read, nullptr) && read == sizeof(header);
    CloseHandle(file);
    // Header size 0x4C, then the shell link's class identifier.
    static const unsigned char kClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    if (!ok || header[0] != 0x4C || header[1] || header[2] || header[3] || memcmp(header + 4, kClass, 16)) return 0;
    return header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
}

}  // namespace

EPBShellLink::EPBShellLink(const std::wstring& message) : std::runtime_error(Narrow(message)), message_(message) {}

TShortCut ShortCutFromHotKey(WORD hotKey) {
    TShortCut s;
    s.key = LOBYTE(hotKey);
    BYTE mods = HIBYTE(hotKey);
    s.shift = mods & HOTKEYF_SHIFT;
    s.ctrl = mods & HOTKEYF_CONTROL;
    s.alt = mods & HOTKEYF_ALT;
    return s;
}

WORD HotKeyFromShortCut(const TShortCut& s) {
    BYTE mods = (s.shift ? HOTKEYF_SHIFT : 0) | (s.ctrl ? HOTKEYF_CONTROL : 0) | (s.alt ? HOTKEYF_ALT : 0);
    return MAKEWORD(static_cast<BYTE>(s.key), mods);
}

std::wstring ShellFolderPath(TShellFolder folder) {
    const wchar_t* name = ShellFolderValue(folder);
    if (!name) return {};
    return RegReadValue(kCurrentUser, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                        L"");
}

void TPBShellLink::SetFileName(const std::wstring& value) {
    if (value == fileName_) return;
    fileName_ = ShortcutFileName(value, ShellFolderPath(shellFolder_));
}

void TPBShellLink::SetShellFolder(TShellFolder folder) {
    shellFolder_ = folder;
    if (folder != TShellFolder::sfNone && !fileName_.empty())
        fileName_ = ShortcutFileName(fileName_, ShellFolderPath(folder));
}

void TPBShellLink::Fail(const wchar_t* english, const wchar_t* french) const {
    throw EPBShellLink(language_ == TLanguage::lgEnglish ? english : french);
}

void TPBShellLink::Load() {
    DWORD attributes = GetFileAttributesW(fileName_.c_str());
    if (fileName_.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        Fail(L"Link not found.", L"Lien non trouvé.");
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out()))))
        Fail(L"\"CoCreateInstance\" failed.", L"\"CoCreateInstance\" a échoué.");
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))))
        Fail(L"\"PersistFile QueryInterface\" failed.", L"\"PersistFile QueryInterface\" a échoué.");
    if (FAILED(file->Load(fileName_.c_str(), STGM_READ))) Fail(L"Read error.", L"Erreur en lecture.");

    wchar_t buffer[MAX_PATH + 1];
    auto text = [&](HRESULT hr) { return SUCCEEDED(hr) ? std::wstring(buffer) : std::wstring(); };
    buffer[0] = 0;
    Description = text(link->GetDescription(buffer, MAX_PATH));
    buffer[0] = 0;
    Target = text(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY));
    buffer[0] = 0;
    WorkingDir = text(link->GetWorkingDirectory(buffer, MAX_PATH));
    buffer[0] = 0;
    Arguments = text(link->GetArguments(buffer, MAX_PATH));
    int show = SW_SHOWNORMAL;
    link->GetShowCmd(&show);
    if (show == SW_SHOWNORMAL)
        if (int stored = StoredShowCommand(fileName_)) show = stored;
    WindowState = show == SW_SHOWMAXIMIZED ? TShowState::Maximized
                  : show == SW_SHOWMINNOACTIVE ? TShowState::Minimized
                                               : TShowState::Normal;
    WORD hotKey = 0;
    link->GetHotkey(&hotKey);
    HotKey = ShortCutFromHotKey(hotKey);
    int icon = 0;
    buffer[0] = 0;
    FileIcon.FileName = text(link->GetIconLocation(buffer, MAX_PATH, &icon));
    FileIcon.IconIndex = icon;
}

void TPBShellLink::Save() {
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out()))))
        Fail(L"\"CoCreateInstance\" failed.", L"\"CoCreateInstance\" a échoué.");
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))))
        Fail(L"\"PersistFile QueryInterface\" failed.", L"\"PersistFile QueryInterface\" a échoué.");
    link->SetDescription(Description.c_str());
    link->SetPath(Target.c_str());
    link->SetWorkingDirectory(WorkingDir.c_str());
    link->SetArguments(Arguments.c_str());
    link->SetShowCmd(WindowState == TShowState::Maximized   ? SW_SHOWMAXIMIZED
                     : WindowState == TShowState::Minimized ? SW_SHOWMINNOACTIVE
                                                            : SW_SHOWNORMAL);
    link->SetHotkey(HotKeyFromShortCut(HotKey));
    link->SetIconLocation(FileIcon.FileName.c_str(), FileIcon.IconIndex);
    if (fileName_.empty() || FAILED(file->Save(fileName_.c_str(), TRUE))) Fail(L"Write error.", L"Erreur en écriture.");
}
