#include "cabinet/platform_file.h"

#include "cabinet/cab_format.h"
#include "util/cp1250.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

std::filesystem::path PathFromWide(std::wstring_view text) {
#ifdef _WIN32
    return fs::path(std::wstring(text));
#else
    return fs::path(WideToUtf8(text));
#endif
}

std::wstring WideFromPath(const fs::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return Utf8ToWide(path.string());
#endif
}

std::optional<SourceFileInfo> ReadSourceFileInfo(const fs::path& path) {
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    SourceFileInfo info{DosFromUnixLocal(seconds), 0};
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    info.attributes = static_cast<uint16_t>(attributes & cab::kAttrStoredMask);
#else
    // No hidden or system flags here; files count as not yet archived.
    const auto status = fs::status(path, ec);
    if (ec) return std::nullopt;
    info.attributes = cab::kAttrArchive;
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) info.attributes |= cab::kAttrReadOnly;
#endif
    return info;
}

bool SetLastWriteFromDos(const fs::path& path, DosStamp stamp) {
    const auto seconds = UnixFromDosLocal(stamp);
    if (!seconds) return false;
    const auto sys = std::chrono::system_clock::from_time_t(*seconds);
    std::error_code ec;
    fs::last_write_time(path, std::chrono::file_clock::from_sys(sys), ec);
    return !ec;
}

namespace {

#ifdef _WIN32
std::error_code LastError() {
    const DWORD code = GetLastError();
    switch (code) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return std::make_error_code(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return std::make_error_code(std::errc::device_or_resource_busy);
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::read_only_file_system);
        case ERROR_FILENAME_EXCED_RANGE: return std::make_error_code(std::errc::filename_too_long);
        default: return {static_cast<int>(code), std::system_category()};
    }
}
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
#else
std::error_code LastError() { return {errno, std::generic_category()}; }
#endif

}  // namespace

std::error_code OutputFile::Open(const fs::path& path, Mode mode) {
    Close();
#ifdef _WIN32
    const HANDLE h = CreateFileW(path.c_str(), mode == Mode::Append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                 FILE_SHARE_READ, nullptr, mode == Mode::Append ? OPEN_EXISTING : CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    handle_ = reinterpret_cast<intptr_t>(h);
#else
    const int flags = O_WRONLY | O_CLOEXEC | (mode == Mode::Append ? O_APPEND : O_CREAT | O_EXCL);
    int fd;
    do fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return LastError();
    handle_ = fd;
#endif
    return {};
}

std::error_code OutputFile::Write(const uint8_t* data, size_t size) {
    while (size > 0) {
#ifdef _WIN32
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), data, piece, &written, nullptr)) return LastError();
        if (written == 0) return std::make_error_code(std::errc::io_error);
#else
        const ssize_t written = ::write(static_cast<int>(handle_), data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
#endif
        data += written;
        size -= static_cast<size_t>(written);
    }
    return {};
}

bool OutputFile::SetLastWrite(DosStamp stamp) {
    const auto seconds = UnixFromDosLocal(stamp);
    if (!seconds || !IsOpen()) return false;
#ifdef _WIN32
    const int64_t ticks = (static_cast<int64_t>(*seconds) + 11644473600LL) * 10000000LL;
    if (ticks < 0) return false;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return SetFileTime(AsHandle(handle_), nullptr, nullptr, &ft) != 0;
#else
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = *seconds;
    times[1].tv_nsec = 0;
    return ::futimens(static_cast<int>(handle_), times) == 0;
#endif
}

std::error_code OutputFile::Close() {
    if (!IsOpen()) return {};
    std::error_code ec;
#ifdef _WIN32
    if (!CloseHandle(AsHandle(handle_))) ec = LastError();
#else
    if (::close(static_cast<int>(handle_)) != 0 && errno != EINTR) ec = LastError();
#endif
    handle_ = kNone;
    return ec;
}

InputFile::~InputFile() {
    if (handle_ == -1) return;
#ifdef _WIN32
    CloseHandle(AsHandle(handle_));
#else
    ::close(static_cast<int>(handle_));
#endif
}

std::error_code InputFile::Open(const fs::path& path) {
#ifdef _WIN32
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    handle_ = reinterpret_cast<intptr_t>(h);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) return LastError();
    size_ = static_cast<uint64_t>(size.QuadPart);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return LastError();
    handle_ = fd;
    struct stat st;
    if (::fstat(fd, &st) != 0) return LastError();
    if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    size_ = static_cast<uint64_t>(st.st_size);
#endif
    return {};
}

std::error_code InputFile::ReadAt(uint64_t offset, uint8_t* out, size_t size, size_t& read) const {
    read = 0;
    while (read < size) {
#ifdef _WIN32
        OVERLAPPED at{};
        const uint64_t where = offset + read;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        DWORD got = 0;
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(size - read, 1u << 30));
        if (!ReadFile(AsHandle(handle_), out + read, piece, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return LastError();
        }
#else
        const ssize_t got = ::pread(static_cast<int>(handle_), out + read, size - read,
                                    static_cast<off_t>(offset + read));
        if (got < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
#endif
        if (got == 0) break;
        read += static_cast<size_t>(got);
    }
    return {};
}

std::wstring FileErrorText(const std::error_code& ec) {
    const std::error_condition c = ec.default_error_condition();
    if (c == std::errc::no_space_on_device) return L"brak miejsca na dysku";
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted) return L"brak dostępu";
    if (c == std::errc::read_only_file_system) return L"dysk tylko do odczytu";
    if (c == std::errc::device_or_resource_busy) return L"plik jest używany przez inny program";
    if (c == std::errc::no_such_file_or_directory) return L"nie ma takiego folderu";
    if (c == std::errc::filename_too_long) return L"za długa nazwa";
    if (c == std::errc::is_a_directory) return L"istnieje folder o tej nazwie";
    if (c == std::errc::file_exists) return L"plik już istnieje";
    if (c == std::errc::too_many_files_open) return L"za dużo otwartych plików";
    return Utf8ToWide(ec.message());
}
