#include "cabinet/lzx_matchfinder.h"

#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"

namespace lzx {

namespace {

constexpr int kHash3Bits = 15;
constexpr uint32_t kMaxChain = 16;
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

MatchFinder::MatchFinder(int windowBits)
    : hash4Bits_(std::clamp(windowBits - 1, 15, 20)),
      windowSize_(1u << windowBits),
      maxOffset_(windowSize_ - 3),
      // 4 spare bytes: hashing reads a word at the last positions.
      buf_(2 * static_cast<size_t>(windowSize_) + kLzxFrameSize + 4),
      head4_(size_t{1} << hash4Bits_),
      head3_(size_t{1} << kHash3Bits),
      prev_(windowSize_) {
    Reset();
}

void MatchFinder::Reset() {
    std::fill(head4_.begin(), head4_.end(), -1);
    std::fill(head3_.begin(), head3_.end(), -1);
    frameStart_ = end_ = hashed_ = 0;
}

uint8_t* MatchFinder::AppendFrame(size_t size) {
    if (end_ + size > buf_.size() - 4) {
        // Drop whole windows so that position & (windowSize - 1) stays put.
        uint32_t shift = (end_ - windowSize_) / windowSize_ * windowSize_;
        std::memmove(buf_.data(), buf_.data() + shift, end_ - shift);
        auto rebase = [shift](int32_t& v) { v = v >= static_cast<int32_t>(shift) ? v - static_cast<int32_t>(shift) : -1; };
        std::for_each(head4_.begin(), head4_.end(), rebase);
        std::for_each(head3_.begin(), head3_.end(), rebase);
        std::for_each(prev_.begin(), prev_.end(), rebase);
        end_ -= shift;
        hashed_ -= shift;
    }
    frameStart_ = end_;
    end_ += static_cast<uint32_t>(size);
    return buf_.data() + frameStart_;
}

void MatchFinder::Insert(uint32_t pos) {
    const uint8_t* p = buf_.data() + pos;
    uint32_t h = Hash4(p, hash4Bits_);
    prev_[pos & (windowSize_ - 1)] = head4_[h];
    head4_[h] = static_cast<int32_t>(pos);
    head3_[Hash3(p)] = static_cast<int32_t>(pos);
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
    const int32_t minPos = pos > maxOffset_ ? static_cast<int32_t>(pos - maxOffset_) : 0;
    uint32_t bestLen = 3;

    int32_t cand3 = head3_[Hash3(here)];
    if (cand3 >= minPos && pos - static_cast<uint32_t>(cand3) <= kMaxDistance3) {
        uint32_t dist = pos - static_cast<uint32_t>(cand3);
        uint32_t len = MatchLength(pos, static_cast<uint32_t>(cand3), Limit(pos, dist));
        if (len >= 3) {
            out[n++] = {len, dist};
            bestLen = len;
        }
    }

    const uint32_t word = Load32(here);
    int32_t cand = head4_[Hash4(here, hash4Bits_)];
    for (uint32_t chain = kMaxChain; cand >= minPos && chain > 0 && bestLen < kNiceLength; --chain) {
        const uint8_t* there = buf_.data() + cand;
        uint32_t dist = pos - static_cast<uint32_t>(cand);
        uint32_t limit = Limit(pos, dist);
        if (bestLen < limit && there[bestLen] == here[bestLen] && Load32(there) == word) {
            uint32_t len = MatchLength(pos, static_cast<uint32_t>(cand), limit);
            if (len > bestLen) {
                out[n++] = {len, dist};
                bestLen = len;
                // A good match found: a short look further is enough.
                if (len >= kGoodLength) chain = std::min(chain, kChainAfterGood);
            }
        }
        cand = prev_[static_cast<uint32_t>(cand) & (windowSize_ - 1)];
    }
    if (hashed_ == pos) Insert(hashed_++);
    // The next search starts with a likely cache miss in the head table.
    __builtin_prefetch(&head4_[Hash4(here + 1, hash4Bits_)]);
    return n;
}

}  // namespace lzx
