#pragma once
// Extraction into a folder on disk, safely and with few files open.
//
// A file that does not exist yet is created under its final name (creation
// refuses a name that appeared meanwhile) and removed again if its entry
// fails. An existing file is asked about (allowOverwrite) and, when allowed,
// the entry is written under a temporary name in the same directory and
// takes the real name in one step only after its last block decoded with a
// good checksum, so a failure never costs the file that was there before.
// Names that would leave the folder are refused (safe_name.h); missing
// directories are created; the stored date becomes the file's last-write
// time (set through the open handle). Stored attributes are not applied.
//
// Entries are gathered in memory and a file is opened only while it is
// written: a small entry is created, written and closed when complete; a
// large one is written in pieces of kChunk, keeping its file open between
// them only while fewer than kKeptOpen files are kept so. At most
// kMaxOpenFiles files are open at once and at most about kMemoryBound bytes
// wait in memory, whatever the archive holds (thousands of entries starting
// in one data block, or entries overlapping one another).
//
// Entries of different folders may be written on different threads
// (Concurrent); the callbacks run on the thread that called Extract, in the
// order a single thread would call them.
#include "cabinet/cab_reader.h"
#include "cabinet/platform_file.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

class FileTarget : public ExtractTarget {
public:
    static constexpr size_t kChunk = size_t{1} << 20;
    static constexpr size_t kMemoryBound = size_t{16} << 20;
    static constexpr size_t kKeptOpen = 4;
    // The kept files and one being written by each of at most 4 threads.
    static constexpr size_t kMaxOpenFiles = kKeptOpen + 4;

    explicit FileTarget(const std::filesystem::path& folder);
    ~FileTarget() override;
    FileTarget(const FileTarget&) = delete;
    FileTarget& operator=(const FileTarget&) = delete;

    // Called when an entry's data starts, whether or not it will be written.
    std::function<void(const CabEntry&)> onEntry;
    // Asked before an existing file is replaced (full path); unset: replace.
    std::function<bool(const std::filesystem::path&)> allowOverwrite;
    // After each piece of an entry was delivered: the bytes delivered so far.
    std::function<void(const CabEntry&, uint64_t written)> onWritten;
    // Free bytes on the disk of a folder (the nearest one that exists);
    // nullopt when unknown. The file system's answer unless replaced.
    std::function<std::optional<uint64_t>(const std::filesystem::path&)> freeSpace;

    bool Concurrent() const override { return true; }
    // Refuses (CabError NoSpace, before anything is written) when the files
    // that do not exist yet alone need more than the disk has free.
    void Prepare(const std::vector<const CabEntry*>& entries) override;
    bool Begin(size_t index, const CabEntry& entry) override;
    void Write(size_t index, std::span<const uint8_t> bytes) override;
    void Finish(size_t index) override;
    void Abort(size_t index) noexcept override;

    // The most files open and bytes held at once so far.
    size_t PeakOpenFiles() const { return peakOpen_.load(); }
    size_t PeakBuffered() const { return peakBuffered_.load(); }

private:
    struct Entry;

    Entry& Find(size_t index);
    std::unique_ptr<Entry> Take(size_t index);
    void EnsureDirectory(const std::filesystem::path& dir);
    std::error_code OpenFile(Entry& e, const std::filesystem::path& path, OutputFile::Mode mode);
    void CloseFile(Entry& e);
    void Create(Entry& e);
    void Flush(Entry& e, bool finishing);
    void Release(Entry& e);
    void Discard(Entry& e) noexcept;

    std::filesystem::path root_;
    std::unordered_set<std::wstring> conflicts_;  // names other entries also write or pass through
    std::mutex mutex_;
    std::unordered_map<size_t, std::unique_ptr<Entry>> entries_;
    std::unordered_set<std::filesystem::path::string_type> directories_;
    std::atomic<size_t> open_{0}, kept_{0}, buffered_{0};
    std::atomic<size_t> peakOpen_{0}, peakBuffered_{0};
};
