#pragma once
// Writes one cabinet from a list of files, streaming: the files are read in
// 32 KiB blocks and every data block is written as soon as it is compressed,
// so memory stays at a few megabytes whatever the sizes.
//
// The layout is fixed before the first byte of data: the folders are planned
// from the files' sizes (a new folder starts before a file once the current
// one holds the folder threshold), so the tables' size is known, the data
// goes straight after them, and the tables are written last over the space
// kept for them. A file whose size changes meanwhile is stored with the size
// actually read. The archive is written under a temporary name beside the
// target and takes the target's name only when complete: a failure leaves
// neither a half-written archive nor a damaged previous one.
#include "cabinet/cab_types.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct CabSource {
    std::filesystem::path path;
    std::wstring storedName;  // with "\" between directories
};

struct CabWriteOptions {
    CabCompression compression{CabMethod::Mszip, 0};
    uint32_t folderThreshold = 900000;
    uint16_t setId = 12345;
    int mszipLevel = 4;  // zlib level: smaller than gcab's archives at under half its work
    unsigned threads = 0;  // 0: one per processor, at most 4
    // LZX on several threads: the encoded bytes a folder waiting for its turn
    // keeps in memory; the rest goes to a temporary file beside the archive.
    size_t folderMemory = 2 << 20;
};

// After every data block written: its compressed and uncompressed sizes.
// Called on the thread that called WriteCabinet.
using WriteProgress = std::function<void(size_t compressed, size_t uncompressed)>;

// The size of a file to store; 0 when it cannot be examined.
uint64_t SourceSize(const std::filesystem::path& path);

// The most a cabinet can hold: its offsets are 31-bit.
inline constexpr uint64_t kMaxSourceTotal = 0x7FFFFFFF;
// Throws the Failure that says so when files of total bytes would not fit.
void CheckSourceTotal(uint64_t total);

// Throws Failure before anything is written when the sources total 2 GiB or
// more, a stored name is too long or there are more than 65535 files; throws
// CabError (OpenSource, ReadSource, CreateCabinet, Compression) on failures
// while writing.
void WriteCabinet(const std::filesystem::path& archive, const std::vector<CabSource>& files,
                  const CabWriteOptions& options, const WriteProgress& progress = {});
