#include <windows.h>
#include <lzexpand.h>
#include <oleauto.h>
#include <shlobj.h>

#include "util/win/files.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "interact/seam.h"
#include "util/datetext.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"
#include "util/win/registry.h"

std::wstring ProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ProgramDir() { return WithBackslash(LowerCase(DirectoryPart(ProgramFile()))); }

std::wstring SpecialFolder(FolderKind kind) {
    std::wstring result = L"C:\\";
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, static_cast<int>(kind), &pidl))) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(pidl, path) && path[0]) result = WithBackslash(path);
        CoTaskMemFree(pidl);
    }
    return result;
}

std::wstring DocumentsDir() { return SpecialFolder(FolderKind::Personal); }
std::wstring StartMenuDir() { return SpecialFolder(FolderKind::StartMenu); }
std::wstring DesktopDir() { return SpecialFolder(FolderKind::DesktopDirectory); }

std::wstring WorkDir() {
    std::wstring dir = ProgramDir();
    return SameTextNoCase(dir, DesktopDir()) ? DocumentsDir() : dir;
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// One test of a directory's attributes, shared with the thread that runs it.
struct DirectoryProbe {
    std::mutex lock;
    std::condition_variable answered;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    bool done = false;
    bool available = false;
};

}  // namespace

bool DirectoryAvailable(const std::wstring& path, unsigned timeoutMs) {
    if (path.empty()) return false;
    // Tests under way, by path; a path stays here until its test answers, and
    // whoever asks meanwhile waits for that test instead of starting another.
    static std::mutex pendingLock;
    static std::map<std::wstring, std::shared_ptr<DirectoryProbe>> pending;
    const std::wstring key = LowerCase(path);
    std::shared_ptr<DirectoryProbe> probe;
    {
        std::lock_guard guard(pendingLock);
        std::shared_ptr<DirectoryProbe>& slot = pending[key];
        if (!slot) {
            slot = std::make_shared<DirectoryProbe>();
            std::thread([probe = slot, path, key] {
                // An empty drive answers at once instead of asking for a disk.
                DWORD previous = 0;
                SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
                const DWORD a = GetFileAttributesW(path.c_str());
                {
                    std::lock_guard guard(probe->lock);
                    probe->available = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
                    probe->done = true;
                }
                probe->answered.notify_all();
                std::lock_guard guard(pendingLock);
                const auto found = pending.find(key);
                if (found != pending.end() && found->second == probe) pending.erase(found);
            }).detach();
        }
        probe = slot;
    }
    // The time allowed counts from the start of the test: one that has hung
    // longer than that is answered "no" at once.
    std::unique_lock wait(probe->lock);
    probe->answered.wait_until(wait, probe->started + std::chrono::milliseconds(timeoutMs),
                               [&] { return probe->done; });
    return probe->done && probe->available;
}

bool CanCreateFilesIn(const std::wstring& folder) {
    if (!DirectoryExists(folder)) return false;
    const std::wstring base = WithBackslash(folder) + L"~archiwin-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::wstring probe = base + std::to_wstring(GetTickCount() + attempt) + L".tmp";
        HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        DWORD written = 0;
        const bool wrote = WriteFile(file, "x", 1, &written, nullptr) && written == 1;
        CloseHandle(file);
        const bool there = GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool removed = DeleteFileW(probe.c_str()) != 0;
        return wrote && there && removed;
    }
    return false;
}

std::int64_t FileSizeOf(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 4) return -1;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(full, &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    FindClose(find);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

DateTimeValue DosDateOf(const FILETIME& written) {
    FILETIME local;
    WORD dosDate = 0, dosTime = 0;
    double value = 0;
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &dosDate, &dosTime) ||
        !DosDateTimeToVariantTime(dosDate, dosTime, &value) || value <= 0)
        return 0;
    return value;
}

DateTimeValue LocalDateTimeOf(const FILETIME& written) {
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&written, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return 0;
    return SystemTimeValue(local);
}

DateTimeValue SystemTimeValue(const SYSTEMTIME& st) {
    double value = 0;
    if (!SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&st), &value)) return 0;
    // The variant form drops the milliseconds.
    return value + st.wMilliseconds / 86400000.0;
}

DateTimeValue FileDateOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return DosDateOf(data.ftLastWriteTime);
}

FileTimeRecord FileTimes(const std::wstring& path, FileTimeKind which) {
    FileTimeRecord record;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return record;
    FILETIME times[3];
    BOOL ok = GetFileTime(file, &times[0], &times[1], &times[2]);
    CloseHandle(file);
    SYSTEMTIME st;
    const FILETIME& chosen = times[static_cast<int>(which)];
    if (!ok || !FileTimeToSystemTime(&chosen, &st)) return record;
    record.fileTime = (static_cast<std::uint64_t>(chosen.dwHighDateTime) << 32) | chosen.dwLowDateTime;
    record.dateTime = SystemTimeValue(st);
    record.year = st.wYear;
    record.month = st.wMonth;
    record.weekday = st.wDayOfWeek;
    record.day = st.wDay;
    record.hour = st.wHour;
    record.minute = st.wMinute;
    record.second = st.wSecond;
    record.millisecond = st.wMilliseconds;
    return record;
}

std::wstring FileDescription(const std::wstring& path) {
    return SafeFormat(L"plik %s\r\nzajmuje %s\r\nostatnio zapisany: %s",
                      {path, SizeTextPrecise(FileSizeOf(path)),
                       FormatPolishDate(L"dddd, d mmmmm yyyy h:mm:ss", FileDateOf(path))});
}

std::wstring SystemErrorText(unsigned long code, const std::wstring& prefix) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return prefix + std::to_wstring(code) + (message.empty() ? L"" : L": " + message);
}

bool ReplaceFile(const std::wstring& source, const std::wstring& target) {
    if (!FileExists(source)) return false;
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

namespace {

// The LZ library opens files by their ANSI names in a 128-byte buffer; the
// files are opened here by their full Unicode names instead and handed to it.
// A failed open gives the negated system error.
int OpenForLz(const std::wstring& path, bool create, HANDLE& file) {
    file = CreateFileW(path.c_str(), create ? GENERIC_WRITE : GENERIC_READ, create ? 0 : FILE_SHARE_READ, nullptr,
                       create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? -static_cast<int>(GetLastError()) : 0;
}

INT AsLzFile(HANDLE file) { return static_cast<INT>(reinterpret_cast<INT_PTR>(file)); }

}  // namespace

std::wstring LzExpandCopy(const std::wstring& path) {
    if (!FileExists(path)) return {};
    std::wstring copy = DirectoryPart(path) + L"Kopia " + FileNamePart(path);
    if (FileExists(copy) && !DeleteFileW(copy.c_str())) return {};

    HANDLE sourceFile, targetFile;
    int result = OpenForLz(path, false, sourceFile);
    if (result == 0) {
        INT source = LZInit(AsLzFile(sourceFile));
        if (source < 0) {
            result = source;
            CloseHandle(sourceFile);
        } else {
            result = OpenForLz(copy, true, targetFile);
            if (result == 0) {
                result = LZCopy(source, AsLzFile(targetFile));
                CloseHandle(targetFile);
            }
            LZClose(source);  // closes the source file as well
        }
    }
    if (result <= 0) {
        DeleteFileW(copy.c_str());  // an unfinished copy is of no use
        throw Failure(SafeFormat(L"Błąd biblioteki LZ %d", {result}));
    }
    return copy;
}

bool ShellOpen(const std::wstring& target) {
    std::wstring what = target;
    if (!EndsWithNoCase(L".exe", what) && !ContainsNoCase(L"://", what) && !ContainsNoCase(L"mailto:", what))
        what = L"http://" + what;
    return Modal().ShellOpen(what, L"");
}

bool RegisterFileType(const std::wstring& extension, const std::wstring& typeName) {
    RegWriteString(kClassesRoot, extension, L"", typeName);
    RegWriteString(kClassesRoot, typeName, L"", L"Archiwin");
    RegWriteString(kClassesRoot, typeName + L"\\DefaultIcon", L"", ProgramFile() + L",0");
    return true;
}
