#pragma once
// Random-access input for the reader: an archive file or bytes in memory (the
// fuzz targets and tests). Every read is checked against the real size, so a
// header that points past the end becomes a "damaged" failure, never a read
// out of bounds. Reads carry their own offsets, so the folders of one archive
// can be decoded on several threads from one source.
#include "cabinet/platform_file.h"

#include <cstdint>
#include <filesystem>
#include <span>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Fills out completely or throws CabError (Damaged beyond the end, Io when
    // the file cannot be read). Safe to call from several threads at once.
    virtual void ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

class FileSource : public ByteSource {
public:
    // Throws CabError(Io) when the file cannot be opened.
    explicit FileSource(const std::filesystem::path& path);
    uint64_t Size() const override { return file_.Size(); }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    InputFile file_;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};
