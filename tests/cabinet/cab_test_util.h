#pragma once
// Helpers shared by the cabinet tests: a temporary folder per test, files in
// and out, MD5 for comparing with recorded digests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& p) const { return path_ / p; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::string Md5Hex(const std::vector<uint8_t>& bytes);
// Reproducible data of a given kind: random bytes, or text that compresses.
std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed);
std::vector<uint8_t> TextBytes(size_t size, uint32_t seed);

#include "cabinet/cab_reader.h"

#include <map>

// Collects extracted entries in memory.
class MemoryTarget : public ExtractTarget {
public:
    std::map<size_t, std::vector<uint8_t>> done;
    bool Begin(size_t index, const CabEntry&) override {
        open_[index].clear();
        return true;
    }
    void Write(size_t index, std::span<const uint8_t> bytes) override {
        open_[index].insert(open_[index].end(), bytes.begin(), bytes.end());
    }
    void Finish(size_t index) override {
        done[index] = std::move(open_[index]);
        open_.erase(index);
    }
    void Abort(size_t index) noexcept override { open_.erase(index); }

private:
    std::map<size_t, std::vector<uint8_t>> open_;
};

// A cabinet put together field by field, for archives no writer makes:
// uncompressed blocks without checksums, laid out folder after folder.
struct RawFolder {
    std::vector<std::vector<uint8_t>> blocks;
    int sameDataAs = -1;      // >= 0: this folder's table entry points at that folder's data
    int32_t startShift = 0;   // added to the folder's stated data offset
};
struct RawFile {
    std::string name;  // stored bytes
    uint32_t size;
    uint32_t offset;   // in the folder's uncompressed data
    uint16_t folder;
};
std::vector<uint8_t> RawCabinet(const std::vector<RawFolder>& folders, const std::vector<RawFile>& files);

// Every entry index of a reader.
std::vector<size_t> AllEntries(const CabReader& reader);
