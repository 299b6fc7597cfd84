#pragma once
// Match finding for the LZX encoder.
//
// The history lives in one flat buffer of the window plus kSlack: new frames
// are appended, and when the buffer is full everything but the last window
// is dropped with one memmove. Flat storage keeps match comparison free of
// ring-buffer wrap checks. Hash heads and links hold stream positions, so
// nothing needs rebasing when the buffer slides; a candidate is used only
// when its distance lies within the window and the buffer, so even stale or
// wrapped entries cannot lead outside it.
//
// Candidates come from hash chains over 4-byte prefixes (a large head table,
// one link per position, indexed modulo the window because nothing older
// can be referenced), plus the most recent position of each 3-byte prefix
// for short matches nearby. The chain walk is bounded (kMaxChain links, stop
// at kNiceLength), so the work per position is bounded; a large head table
// keeps chains of unrelated positions short, which matters on data that does
// not repeat, where every link is a cache miss in a 2 MiB window.
//
// Matches never cross the end of the frame, as the format requires, and a
// match never reaches into its own destination around the ring (offset +
// length <= window): 7-Zip's decoder mishandles such matches near the
// largest offsets.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <vector>

#include "cabinet/lzx_format.h"

namespace lzx {

struct Match {
    uint32_t length;
    uint32_t distance;
};

// Longest useful match; longer ones are taken without further search.
inline constexpr uint32_t kNiceLength = 80;
// Most matches Find reports for one position.
inline constexpr uint32_t kMaxCandidates = 25;

class MatchFinder {
public:
    explicit MatchFinder(int windowBits);
    void Reset();

    // Room for the next frame of size bytes (<= 32768); the caller fills it.
    uint8_t* AppendFrame(size_t size);
    const uint8_t* Data() const { return buf_.data(); }
    uint32_t FrameStart() const { return frameStart_; }
    uint32_t FrameEnd() const { return end_; }
    uint32_t WindowSize() const { return windowSize_; }

    // Longest match allowed at pos for a given distance.
    uint32_t Limit(uint32_t pos, uint32_t distance) const {
        uint32_t limit = std::min<uint32_t>(end_ - pos, kMaxMatch);
        return std::min(limit, windowSize_ - distance);
    }
    // Common prefix of the bytes at a and b, at most limit.
    uint32_t MatchLength(uint32_t a, uint32_t b, uint32_t limit) const {
        const uint8_t* p = buf_.data() + a;
        const uint8_t* q = buf_.data() + b;
        uint32_t len = 0;
        while (len + 8 <= limit) {
            uint64_t x, y;
            std::memcpy(&x, p + len, 8);
            std::memcpy(&y, q + len, 8);
            if (x != y) return len + (static_cast<uint32_t>(__builtin_ctzll(x ^ y)) >> 3);
            len += 8;
        }
        while (len < limit && p[len] == q[len]) ++len;
        return len;
    }

    // Matches at pos (a frame position, in order) of increasing length, all
    // >= 3; adds pos to the chains. Returns how many were stored in out
    // (room for kMaxCandidates entries).
    size_t Find(uint32_t pos, Match* out);
    // Adds pos to the chains without searching.
    void Skip(uint32_t pos);

    size_t MemoryBytes() const {
        return buf_.capacity() + 4 * (head4_.capacity() + head3_.capacity() + prev_.capacity());
    }

private:
    void CatchUp(uint32_t pos);
    void Insert(uint32_t pos);

    int hash4Bits_;
    uint32_t windowSize_;
    uint32_t maxOffset_;
    std::vector<uint8_t> buf_;
    // Stream positions (buffer position + base_).
    std::vector<uint32_t> head4_;
    std::vector<uint32_t> head3_;
    std::vector<uint32_t> prev_;  // indexed by stream position & (windowSize - 1)
    uint32_t base_ = 0;           // stream position of buf_[0]
    uint32_t frameStart_ = 0;
    uint32_t end_ = 0;
    uint32_t hashed_ = 0;  // buffer positions below are in the chains
};

}  // namespace lzx
