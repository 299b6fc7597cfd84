#pragma once
// The few file facts the cabinet code needs that the standard library does
// not give the same way everywhere: the DOS attributes of a file and its
// last-write time in DOS words.
#include "cabinet/dos_time.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct SourceFileInfo {
    DosStamp stamp;        // last-write time, local
    uint16_t attributes;   // read-only, hidden, system, archive
};

// nullopt when the file cannot be examined.
std::optional<SourceFileInfo> ReadSourceFileInfo(const std::filesystem::path& path);

// Sets the last-write time from a stored stamp taken as local time; false
// when the stamp is not a valid date or the file system refuses.
bool SetLastWriteFromDos(const std::filesystem::path& path, DosStamp stamp);

// Paths from and to the program's text: UTF-16 on Windows, UTF-8 bytes
// elsewhere, whatever the process locale says.
std::filesystem::path PathFromWide(std::wstring_view text);
std::wstring WideFromPath(const std::filesystem::path& path);
