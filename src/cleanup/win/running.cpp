#include "cleanup/win/running.h"

#include <windows.h>
#include <tlhelp32.h>

#include "cleanup/win/cleanupside.h"
#include "util/textcase.h"

namespace {
CleanupSide& Side() {
    static CleanupSide side;
    return side;
}
}  // namespace

void SetCleanupSide(CleanupSide side) { Side() = std::move(side); }
const CleanupSide& CurrentCleanupSide() { return Side(); }

std::vector<std::wstring> RunningImagePaths() {
    std::vector<std::wstring> paths;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        wchar_t image[MAX_PATH * 4];
        DWORD size = static_cast<DWORD>(std::size(image));
        if (QueryFullProcessImageNameW(process, 0, image, &size)) paths.emplace_back(image, size);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return paths;
}

namespace {

// The long form of a path (a process may have been started by its short name).
std::wstring LongForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetLongPathNameW(path.c_str(), buffer, static_cast<DWORD>(std::size(buffer)));
    return n > 0 && n < std::size(buffer) ? std::wstring(buffer, n) : path;
}

}  // namespace

bool IsRunningProgram(const std::wstring& path, const std::vector<std::wstring>& running) {
    const std::wstring target = LongForm(path);
    for (const auto& image : running)
        if (SameTextNoCase(image, path) || SameTextNoCase(LongForm(image), target)) return true;
    return false;
}
