#include "cleanup/win/apperaser.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <random>
#include <string>

#include "cleanup/eraserscript.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/win/identity.h"

namespace {

std::wstring Normalized(std::wstring path) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    if (n > 0 && n < std::size(full)) path = full;
    wchar_t longName[MAX_PATH * 4];
    n = GetLongPathNameW(path.c_str(), longName, static_cast<DWORD>(std::size(longName)));
    if (n > 0 && n < std::size(longName)) path = longName;
    RemoveBackslash(path);
    return path;
}

bool IsDriveRoot(const std::wstring& normalized) {
    if (normalized.size() == 2 && normalized[1] == L':') return true;
    // "\\server\share"
    if (normalized.size() > 2 && normalized[0] == L'\\' && normalized[1] == L'\\') {
        size_t share = normalized.find(L'\\', 2);
        return share == std::wstring::npos || normalized.find(L'\\', share + 1) == std::wstring::npos;
    }
    return false;
}

// Characters of the script's name.
std::wstring RandomName() {
    static const wchar_t kChars[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
    static std::mt19937 generator{std::random_device{}() ^ static_cast<unsigned>(GetTickCount64()) ^
                                  GetCurrentProcessId()};
    std::uniform_int_distribution<int> pick(0, 35);
    std::wstring name;
    for (int i = 0; i < 8; ++i) name += kChars[pick(generator)];
    return name + L".bat";
}

// The text in the console's code page (the command processor reads a script
// in it); false when a character has no exact form there.
bool ToConsoleCodePage(const std::wstring& text, std::string& out) {
    if (text.empty()) return false;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), nullptr,
                                0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, &usedDefault);
    return !usedDefault;
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return WithBackslash(buffer);
}

// Creates a script of a new name in the folder; the name is drawn again while
// a file of that name exists, so two erasers never share one.
HANDLE CreateScript(const std::wstring& folder, std::wstring& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + RandomName();
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return INVALID_HANDLE_VALUE;
}

bool IsRegularFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool IsProtectedFolder(const std::wstring& path) {
    if (path.empty()) return true;
    // "c:" alone is the drive's current folder to the system, but a root to
    // whoever wrote it.
    if ((path.size() == 2 || (path.size() == 3 && (path[2] == L'\\' || path[2] == L'/'))) && path[1] == L':')
        return true;
    const std::wstring folder = Normalized(path);
    if (IsDriveRoot(folder)) return true;
    static const KNOWNFOLDERID* const kFolders[] = {
        &FOLDERID_Desktop,         &FOLDERID_PublicDesktop,    &FOLDERID_Documents,      &FOLDERID_PublicDocuments,
        &FOLDERID_Downloads,       &FOLDERID_PublicDownloads,  &FOLDERID_Music,          &FOLDERID_PublicMusic,
        &FOLDERID_Pictures,        &FOLDERID_PublicPictures,   &FOLDERID_Videos,         &FOLDERID_PublicVideos,
        &FOLDERID_Templates,       &FOLDERID_CommonTemplates,  &FOLDERID_Favorites,      &FOLDERID_Fonts,
        &FOLDERID_StartMenu,       &FOLDERID_CommonStartMenu,  &FOLDERID_Programs,       &FOLDERID_CommonPrograms,
        &FOLDERID_Startup,         &FOLDERID_CommonStartup,    &FOLDERID_Recent,         &FOLDERID_SendTo,
        &FOLDERID_Profile,         &FOLDERID_Public,           &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData,
        &FOLDERID_ProgramData,     &FOLDERID_ProgramFiles,     &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
        &FOLDERID_ProgramFilesCommon, &FOLDERID_ProgramFilesCommonX86, &FOLDERID_Windows, &FOLDERID_System,
        &FOLDERID_SystemX86,       &FOLDERID_UserProfiles,     &FOLDERID_UserProgramFiles,
    };
    for (const KNOWNFOLDERID* id : kFolders) {
        wchar_t* known = nullptr;
        bool same = SUCCEEDED(SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &known)) && known &&
                    SameTextNoCase(Normalized(known), folder);
        CoTaskMemFree(known);
        if (same) return true;
    }
    std::wstring temp = TempFolder();
    return !temp.empty() && SameTextNoCase(Normalized(temp), folder);
}

TAppEraser::TAppEraser() = default;

TAppEraser::~TAppEraser() {
    if (AutoActive) Execute();
}

bool TAppEraser::Execute() {
    try {
        if (Path.empty()) return false;
        const std::wstring program = ExecutablePath();
        std::wstring path = SameTextNoCase(Path, L"*apppath*") ? DirectoryPart(program) : Path;
        AddBackslash(path);
        std::wstring folder = path;
        RemoveBackslash(folder);
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) || Files.empty())
            return false;

        EraserScript script;
        script.attempts = Attempts;
        for (const auto& entry : Files) {
            std::wstring name = SameTextNoCase(entry, L"*appname*") ? FileNamePart(program) : FileNamePart(entry);
            if (name.empty()) continue;
            std::wstring candidate = path + name;
            if (!IsRegularFile(candidate)) continue;
            SetFileAttributesW(candidate.c_str(), FILE_ATTRIBUTE_NORMAL);
            script.files.push_back(candidate);
        }
        if (script.files.empty()) return false;
        if (DelPathIfEmpty && !IsProtectedFolder(folder)) script.folder = folder;

        std::string bytes;
        if (!ToConsoleCodePage(EraserScriptText(script), bytes)) return false;

        const std::wstring temp = TempFolder();
        if (temp.empty()) return false;
        std::wstring scriptPath;
        HANDLE file = CreateScript(temp, scriptPath);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
        CloseHandle(file);
        if (!ok) {
            DeleteFileW(scriptPath.c_str());
            return false;
        }

        wchar_t system[MAX_PATH + 1];
        UINT n = GetSystemDirectoryW(system, MAX_PATH + 1);
        std::wstring cmd = (n > 0 && n <= MAX_PATH) ? WithBackslash(system) + L"cmd.exe" : L"cmd.exe";
        std::wstring commandLine = L"\"" + cmd + L"\" /D /V:OFF /C \"\"" + scriptPath + L"\"\"";
        STARTUPINFOW si{sizeof(si)};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        // The script's folder is the temporary one: a command processor
        // standing in the program's folder would keep it from being removed.
        if (!CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            CREATE_NO_WINDOW, nullptr, temp.c_str(), &si, &pi)) {
            DeleteFileW(scriptPath.c_str());
            return false;
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        scriptPath_ = scriptPath;
        return true;
    } catch (...) {
        return false;
    }
}
