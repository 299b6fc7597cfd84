#pragma once
// The few file facts the cabinet code needs that the standard library does
// not give the same way everywhere: the DOS attributes of a file and its
// last-write time in DOS words; files written and read through the
// platform's handles.
#include "cabinet/dos_time.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

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

// A file being written by extraction, through the platform's own handles:
// no limit of the C runtime's streams applies, creation can refuse an
// existing name, and the last-write time is set through the open handle.
class OutputFile {
public:
    enum class Mode {
        CreateNew,  // fails with std::errc::file_exists when the name is taken
        Append,     // an existing file, written on at its end
    };
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Close(); }

    std::error_code Open(const std::filesystem::path& path, Mode mode);
    bool IsOpen() const { return handle_ != kNone; }
    std::error_code Write(const uint8_t* data, size_t size);
    // The stored stamp, taken as local time; false when it is no valid date
    // or the file system refuses.
    bool SetLastWrite(DosStamp stamp);
    // Closes; the error of the last step that could still fail.
    std::error_code Close();

private:
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;  // a HANDLE on Windows, a descriptor elsewhere
};

// An archive opened for reading at any offset; reads from several threads at
// once are safe (they carry their own offsets).
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    std::error_code Open(const std::filesystem::path& path);
    uint64_t Size() const { return size_; }
    // Bytes read (fewer only at the end of the file), or an error.
    std::error_code ReadAt(uint64_t offset, uint8_t* out, size_t size, size_t& read) const;

private:
    intptr_t handle_ = -1;
    uint64_t size_ = 0;
};

// A short Polish description of a file-system error for messages ("brak
// miejsca na dysku", "brak dostępu", …); the system's text otherwise.
std::wstring FileErrorText(const std::error_code& ec);
