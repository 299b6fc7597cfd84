#pragma once
// MSZIP: every data block is "CK" followed by one complete raw deflate stream
// of at most 32 KiB of input. The blocks of a folder are not independent: a
// block may refer back to the 32 KiB of the folder that precede it, which the
// encoder hands to zlib as a preset dictionary and the decoder keeps as its
// history.
//
// Because the dictionary is the preceding *input*, the blocks of a folder can
// be compressed in any order and on several threads (see folder_encoder.h); a
// decoder sees the same stream as from a sequential encoder.
//
// Priming zlib with 32 KiB costs about as much as compressing them, so a
// compressor is primed once per run of consecutive blocks and then carries
// its window on: each block is flushed to a byte boundary (Z_SYNC_FLUSH) and
// closed with an empty final block (the two bytes 03 00), which makes it a
// complete deflate stream while zlib's own state runs on to the next block.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct z_stream_s;

class MszipCompressor {
public:
    explicit MszipCompressor(int level);
    ~MszipCompressor();
    MszipCompressor(const MszipCompressor&) = delete;
    MszipCompressor& operator=(const MszipCompressor&) = delete;

    // Starts a run of blocks that follows dictionary (the at most 32 KiB
    // before it in the folder).
    void Begin(std::span<const uint8_t> dictionary);
    // Compresses the run's next block (at most 32 KiB) and replaces out with
    // "CK" + its deflate stream. Throws CabError(Compression) when zlib fails.
    void Compress(std::span<const uint8_t> block, std::vector<uint8_t>& out);

private:
    z_stream_s* z_;
};

class MszipDecompressor {
public:
    MszipDecompressor();
    ~MszipDecompressor();
    MszipDecompressor(const MszipDecompressor&) = delete;
    MszipDecompressor& operator=(const MszipDecompressor&) = delete;

    // Starts a new folder (forgets the history).
    void Reset();
    // Decodes one block into exactly out.size() bytes; false when the block is
    // damaged or decodes to another size.
    bool Decompress(std::span<const uint8_t> in, std::span<uint8_t> out);

private:
    z_stream_s* z_;
    std::vector<uint8_t> history_;  // the last (up to) 32 KiB decoded in this folder
};
