#pragma once
// Decodes one folder block by block: reads each CFDATA record, verifies its
// checksum and turns it into at most 32 KiB of output with the folder's
// method. Memory is two fixed buffers plus the method's own state, whatever
// the size of the folder. Where the folder's data ends is known (dataEnd),
// the records are read up to kReadAhead bytes at a time, not one by one.
#include "cabinet/byte_source.h"
#include "cabinet/cab_types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class LzxDecoder;
class MszipDecompressor;

// What a thread keeps between the folders it decodes one after another: the
// LZX decoder with its window (up to 2 MiB) and the read buffer, allocated
// once instead of once per folder.
struct FolderDecoderCache {
    FolderDecoderCache();
    ~FolderDecoderCache();
    std::unique_ptr<LzxDecoder> lzx;
    int lzxWindowBits = 0;
    std::vector<uint8_t> readBuffer;
};

class FolderDecoder {
public:
    static constexpr size_t kReadAhead = size_t{256} << 10;

    // Throws CabError(Unsupported) for Quantum and unknown methods. With a
    // cache, the decoder comes from it when it fits and goes back to it.
    // dataEnd: the end of the folder's blocks in the archive (0: unknown);
    // nothing past it is read ahead.
    FolderDecoder(ByteSource& source, const CabFolder& folder, uint8_t dataReserve,
                  FolderDecoderCache* cache = nullptr, uint64_t dataEnd = 0);
    ~FolderDecoder();
    FolderDecoder(const FolderDecoder&) = delete;
    FolderDecoder& operator=(const FolderDecoder&) = delete;

    // The next block's uncompressed bytes; empty once every block of the
    // folder was decoded. Throws CabError(Damaged) for a bad checksum, a
    // block beyond the end of the file or data that does not decode.
    std::span<const uint8_t> Next();
    // Compressed bytes of the last block, with its header.
    size_t LastBlockStoredSize() const { return lastStored_; }

private:
    // The archive's bytes [at, at + size), read ahead where allowed.
    const uint8_t* Bytes(uint64_t at, size_t size);

    ByteSource& source_;
    CabMethod method_;
    uint8_t dataReserve_;
    uint64_t offset_;
    size_t blocksLeft_;
    size_t lastStored_ = 0;
    uint64_t dataEnd_;
    std::vector<uint8_t> in_;
    uint64_t inStart_ = 0;  // the archive's offset of in_[0]
    size_t inSize_ = 0;     // bytes of in_ read
    std::vector<uint8_t> out_;
    std::unique_ptr<MszipDecompressor> mszip_;
    std::unique_ptr<LzxDecoder> lzx_;
    int lzxWindowBits_ = 0;
    FolderDecoderCache* cache_;
};
