#pragma once
// Decodes one folder block by block: reads each CFDATA record, verifies its
// checksum and turns it into at most 32 KiB of output with the folder's
// method. Memory is two fixed buffers plus the method's own state, whatever
// the size of the folder.
#include "cabinet/byte_source.h"
#include "cabinet/cab_types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class LzxDecoder;
class MszipDecompressor;

class FolderDecoder {
public:
    // Throws CabError(Unsupported) for Quantum and unknown methods.
    FolderDecoder(ByteSource& source, const CabFolder& folder, uint8_t dataReserve);
    ~FolderDecoder();

    // The next block's uncompressed bytes; empty once every block of the
    // folder was decoded. Throws CabError(Damaged) for a bad checksum, a
    // block beyond the end of the file or data that does not decode.
    std::span<const uint8_t> Next();
    // Compressed bytes of the last block, with its header.
    size_t LastBlockStoredSize() const { return lastStored_; }

private:
    ByteSource& source_;
    CabMethod method_;
    uint8_t dataReserve_;
    uint64_t offset_;
    size_t blocksLeft_;
    size_t lastStored_ = 0;
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
    std::unique_ptr<MszipDecompressor> mszip_;
    std::unique_ptr<LzxDecoder> lzx_;
};
