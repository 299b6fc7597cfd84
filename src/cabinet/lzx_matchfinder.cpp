#include "cabinet/lzx_matchfinder.h"

#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"

namespace lzx {

namespace {

constexpr int kHash3Bits = 15;
constexpr uint32_t kMaxChain = kMaxCandidates - 1;
constexpr uint32_t kGoodLength = 16;
constexpr uint32_t kChainAfterGood = 4;
// The 3-byte candidate is worth its footer only close by.
constexpr uint32_t kMaxDistance3 = 8192;

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint32_t Hash4(const uint8_t* p, int bits) { return (Load32(p) * 2654435761u) >> (32 - bits); }
inline uint32_t Hash3(const uint8_t* p) { return ((Load32(p) & 0xFFFFFF) * 2246822519u) >> (32 - kHash3Bits); }

}  // namespace

// Room for this much input beyond the window before the buffer slides.
constexpr uint32_t kSlack = 8 * kLzxFrameSize;

MatchFinder::MatchFinder(int windowBits)
    : hash4Bits_(std::clamp(windowBits - 1, 15, 19)),
      windowSize_(1u << windowBits),
      maxOffset_(windowSize_ - 3),
      // 4 spare bytes: hashing reads a word at the last positions.
      buf_(static_cast<size_t>(windowSize_) + kSlack + 4),
      head4_(size_t{1} << hash4Bits_),
      head3_(size_t{1} << kHash3Bits),
      prev_(windowSize_) {
    Reset();
}

void MatchFinder::Reset() {
    // Heads point at the stream's start until real entries replace them;
    // links are always written before a chain can reach them.
    std::fill(head4_.begin(), head4_.end(), 0u);
    std::fill(head3_.begin(), head3_.end(), 0u);
    base_ = frameStart_ = end_ = hashed_ = 0;
}

uint8_t* MatchFinder::AppendFrame(size_t size) {
    if (end_ + size > buf_.size() - 4) {
        uint32_t shift = end_ - windowSize_;
        std::memmove(buf_.data(), buf_.data() + shift, windowSize_);
        base_ += shift;
        end_ -= shift;
        hashed_ -= shift;
    }
    frameStart_ = end_;
    end_ += static_cast<uint32_t>(size);
    return buf_.data() + frameStart_;
}

void MatchFinder::Insert(uint32_t pos) {
    const uint8_t* p = buf_.data() + pos;
    const uint32_t stream = base_ + pos;
    uint32_t h = Hash4(p, hash4Bits_);
    prev_[stream & (windowSize_ - 1)] = head4_[h];
    head4_[h] = stream;
    head3_[Hash3(p)] = stream;
}

// Positions need 4 bytes after them to be hashed; the last ones of a frame
// join the chains when the next frame has arrived.
void MatchFinder::CatchUp(uint32_t pos) {
    while (hashed_ < pos && hashed_ + 4 <= end_) Insert(hashed_++);
}

void MatchFinder::Skip(uint32_t pos) {
    CatchUp(pos);
    if (hashed_ == pos && pos + 4 <= end_) Insert(hashed_++);
}

size_t MatchFinder::Find(uint32_t pos, Match* out) {
    CatchUp(pos);
    size_t n = 0;
    if (pos + 4 > end_) return 0;
    const uint8_t* here = buf_.data() + pos;
    const uint32_t stream = base_ + pos;
    // Farthest usable distance: inside the window and inside the buffer.
    const uint32_t maxDist = std::min(maxOffset_, pos);
    uint32_t bestLen = 3;

    uint32_t dist = stream - head3_[Hash3(here)];
    if (dist - 1 < std::min(maxDist, kMaxDistance3)) {
        uint32_t len = MatchLength(pos, pos - dist, Limit(pos, dist));
        if (len >= 3) {
            out[n++] = {len, dist};
            bestLen = len;
        }
    }

    const uint32_t word = Load32(here);
    uint32_t cand = head4_[Hash4(here, hash4Bits_)];
    for (uint32_t chain = kMaxChain; chain > 0 && bestLen < kNiceLength; --chain) {
        dist = stream - cand;
        if (dist - 1 >= maxDist) break;  // too far, or a stale entry
        const uint8_t* there = here - dist;
        uint32_t limit = Limit(pos, dist);
        if (bestLen < limit && there[bestLen] == here[bestLen] && Load32(there) == word) {
            uint32_t len = MatchLength(pos, pos - dist, limit);
            if (len > bestLen) {
                out[n++] = {len, dist};
                bestLen = len;
                // A good match found: a short look further is enough.
                if (len >= kGoodLength) chain = std::min(chain, kChainAfterGood);
            }
        }
        if (cand == 0) break;  // the stream's start ends every chain
        cand = prev_[cand & (windowSize_ - 1)];
    }
    if (hashed_ == pos) Insert(hashed_++);
    // The next search starts with a likely cache miss in the head table.
    __builtin_prefetch(&head4_[Hash4(here + 1, hash4Bits_)]);
    return n;
}

}  // namespace lzx
