#include "net/win/updatefiles.h"

#include <windows.h>
#include <shlobj.h>
#include <softpub.h>
#include <wintrust.h>

#include "net/updateindex.h"
#include "util/paths.h"
#include "util/win/files.h"

std::wstring PerUserProgramDir(const std::wstring& product) {
    std::wstring dir;
    PWSTR local = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &local))) dir = local;
    CoTaskMemFree(local);
    if (dir.empty()) dir = DocumentsDir();
    dir = WithBackslash(dir) + L"TEV\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    dir += product + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring UpdateDirFor(const std::wstring& product) {
    const std::wstring work = WorkDir();
    const bool writable = CanCreateFilesIn(work);
    return ChooseUpdateDir(ProgramDir(), DesktopDir(), DocumentsDir(), writable,
                           writable ? std::wstring() : PerUserProgramDir(product));
}

std::wstring WriteTemporary(const std::wstring& dir, std::string_view bytes) {
    wchar_t name[MAX_PATH + 16];
    if (dir.size() > MAX_PATH - 14 || !GetTempFileNameW(dir.c_str(), L"aa", 0, name)) return {};
    HANDLE f = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = f != INVALID_HANDLE_VALUE;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20)), written = 0;
        ok = WriteFile(f, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    if (f != INVALID_HANDLE_VALUE) ok = FlushFileBuffers(f) && ok, CloseHandle(f);
    if (!ok) {
        DeleteFileW(name);
        return {};
    }
    return name;
}

bool SaveWhole(const std::wstring& path, std::string_view bytes) {
    const std::wstring temp = WriteTemporary(DirectoryPart(path), bytes);
    if (temp.empty()) return false;
    if (ReplaceFile(temp, path)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

bool SignatureVerifies(const std::wstring& path) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status == ERROR_SUCCESS;
}
