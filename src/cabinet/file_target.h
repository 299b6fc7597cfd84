#pragma once
// Extraction into a folder on disk, safely: every entry is written under a
// temporary name in its target directory and takes its real name only after
// its last block decoded with good checksums, so a failure never costs the
// file that was there before. Names that would leave the folder are refused
// (safe_name.h); missing directories are created; the stored date becomes
// the file's last-write time. Stored attributes are not applied.
#include "cabinet/cab_reader.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

class FileTarget : public ExtractTarget {
public:
    explicit FileTarget(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Called when an entry's data starts, whether or not it will be written.
    std::function<void(const CabEntry&)> onEntry;
    // Asked before an existing file is replaced (full path); unset: replace.
    std::function<bool(const std::filesystem::path&)> allowOverwrite;
    // After each piece of an entry was written: the bytes written so far.
    std::function<void(const CabEntry&, uint64_t written)> onWritten;

    bool Begin(size_t index, const CabEntry& entry) override;
    void Write(size_t index, std::span<const uint8_t> bytes) override;
    void Finish(size_t index) override;
    void Abort(size_t index) noexcept override;

private:
    struct Open {
        const CabEntry* entry;
        std::filesystem::path target;
        std::filesystem::path temp;
        std::ofstream out;
        uint64_t written = 0;
    };
    std::filesystem::path folder_;
    std::map<size_t, Open> open_;
};
