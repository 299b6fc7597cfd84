#include "cabinet/platform_file.h"

#include "cabinet/cab_format.h"
#include "util/cp1250.h"

#include <chrono>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
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
