#pragma once
// Turns the uncompressed stream of a folder into data blocks, one method per
// implementation. The writer hands over a batch of consecutive 32 KiB blocks
// (the last of a folder may be shorter) together with the up to 32 KiB of the
// folder that precede the batch.
//
// MSZIP compresses the blocks of a batch on several threads: each block is an
// independent deflate stream primed with the 32 KiB of input before it, so the
// order of compression does not matter. LZX runs on across the frames of a
// folder and is sequential; so is storing.
#include "cabinet/cab_types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class FolderEncoder {
public:
    virtual ~FolderEncoder() = default;
    // threads 0: one per processor.
    static std::unique_ptr<FolderEncoder> Create(CabCompression compression, int mszipLevel, unsigned threads);

    // The number of blocks the encoder wants per batch.
    virtual size_t BatchBlocks() const = 0;
    // Starts a new folder.
    virtual void Reset() = 0;
    // The encoder's own memory, for deciding how many may run side by side.
    virtual size_t MemoryBytes() const { return 0; }
    // Encodes input (consecutive blocks) into out[0..], one entry per block.
    virtual void Encode(std::span<const uint8_t> dictionary, std::span<const uint8_t> input,
                        std::vector<std::vector<uint8_t>>& out) = 0;
};
