#include "cabinet/lzx_matchfinder.h"

#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"

namespace lzx {

namespace {

constexpr int kHashBits = 16;
constexpr uint32_t kMaxChain = 48;
constexpr uint32_t kNiceLength = 96;
// A 3-byte match pays only when its offset is cheap to send.
constexpr int kMaxExtraForLength3 = 7;
// Value bonus of a repeated offset: no footer, and its slot symbols are common.
constexpr int32_t kRepeatBonus = 4;

inline uint32_t Hash3(const uint8_t* p) {
    uint32_t v = (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

// Rough worth of a match in bits saved, for comparing candidates.
inline int32_t MatchValue(uint32_t length, uint32_t formatted) {
    if (formatted < kNumRepeats) return static_cast<int32_t>(8 * length) + kRepeatBonus;
    return static_cast<int32_t>(8 * length) - kSlots.extra[SlotOf(formatted)];
}

}  // namespace

MatchFinder::MatchFinder(int windowBits)
    : windowSize_(1u << windowBits),
      maxOffset_(windowSize_ - 3),
      buf_(2 * static_cast<size_t>(windowSize_) + kLzxFrameSize),
      head_(size_t{1} << kHashBits),
      prev_(windowSize_) {
    Reset();
}

void MatchFinder::Reset() {
    std::fill(head_.begin(), head_.end(), -1);
    frameStart_ = end_ = hashed_ = 0;
}

uint8_t* MatchFinder::AppendFrame(size_t size) {
    if (end_ + size > buf_.size()) {
        // Drop whole windows so that position & (windowSize - 1) stays put.
        uint32_t shift = (end_ - windowSize_) / windowSize_ * windowSize_;
        std::memmove(buf_.data(), buf_.data() + shift, end_ - shift);
        auto rebase = [shift](int32_t& v) { v = v >= static_cast<int32_t>(shift) ? v - static_cast<int32_t>(shift) : -1; };
        std::for_each(head_.begin(), head_.end(), rebase);
        std::for_each(prev_.begin(), prev_.end(), rebase);
        end_ -= shift;
        hashed_ -= shift;
    }
    frameStart_ = end_;
    end_ += static_cast<uint32_t>(size);
    return buf_.data() + frameStart_;
}

uint32_t MatchFinder::MatchLength(uint32_t a, uint32_t b, uint32_t limit) const {
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

void MatchFinder::Insert(uint32_t pos) {
    uint32_t h = Hash3(buf_.data() + pos);
    prev_[pos & (windowSize_ - 1)] = head_[h];
    head_[h] = static_cast<int32_t>(pos);
}

MatchFinder::Candidate MatchFinder::Best(uint32_t pos, uint32_t end, const uint32_t reps[3]) {
    while (hashed_ < pos && hashed_ + 3 <= end_) Insert(hashed_++);
    Candidate best;
    uint32_t limit = std::min<uint32_t>(end - pos, kMaxMatch);
    if (limit < 3) return best;

    for (uint32_t i = 0; i < kNumRepeats; ++i) {
        uint32_t off = reps[i];
        if (off > pos || off > maxOffset_) continue;
        uint32_t len = MatchLength(pos, pos - off, limit);
        if (len >= 3 && MatchValue(len, i) > best.value) best = {len, i, MatchValue(len, i)};
    }
    if (best.length >= kNiceLength || best.length == limit) {
        if (hashed_ == pos) Insert(hashed_++);
        return best;
    }

    const uint8_t* here = buf_.data() + pos;
    int32_t minPos = pos > maxOffset_ ? static_cast<int32_t>(pos - maxOffset_) : 0;
    int32_t cand = head_[Hash3(here)];
    uint32_t bestLen = 2;
    uint32_t bestOff = 0;
    for (uint32_t chain = kMaxChain; cand >= minPos && chain > 0; --chain) {
        const uint8_t* there = buf_.data() + cand;
        if (there[bestLen] == here[bestLen] && there[0] == here[0] && there[1] == here[1]) {
            uint32_t len = MatchLength(pos, static_cast<uint32_t>(cand), limit);
            if (len > bestLen) {
                bestLen = len;
                bestOff = pos - static_cast<uint32_t>(cand);
                if (len >= kNiceLength || len == limit) break;
            }
        }
        cand = prev_[static_cast<uint32_t>(cand) & (windowSize_ - 1)];
    }
    if (bestOff != 0) {
        uint32_t formatted = bestOff + 2;
        bool worth = bestLen > 3 || kSlots.extra[SlotOf(formatted)] <= kMaxExtraForLength3;
        if (worth && MatchValue(bestLen, formatted) > best.value) best = {bestLen, formatted, MatchValue(bestLen, formatted)};
    }
    if (hashed_ == pos && pos + 3 <= end_) Insert(hashed_++);
    return best;
}

size_t MatchFinder::Parse(uint32_t reps[3], Item* items) {
    const uint8_t* buf = buf_.data();
    uint32_t pos = frameStart_;
    const uint32_t end = end_;
    size_t n = 0;
    auto literal = [&](uint32_t p) { items[n++] = {buf[p], 0, 0}; };

    Candidate cur = Best(pos, end, reps);
    while (pos < end) {
        if (cur.length == 0) {
            literal(pos++);
            if (pos < end) cur = Best(pos, end, reps);
            continue;
        }
        // Lazy evaluation: give way to a better match one byte later.
        while (cur.length < kNiceLength && pos + 1 < end) {
            Candidate next = Best(pos + 1, end, reps);
            if (next.value <= cur.value) break;
            literal(pos++);
            cur = next;
        }

        uint32_t slot;
        uint32_t footer = 0;
        if (cur.offset < kNumRepeats) {
            slot = cur.offset;
            std::swap(reps[0], reps[cur.offset]);
        } else {
            slot = SlotOf(cur.offset);
            footer = cur.offset - kSlots.base[slot];
            reps[2] = reps[1];
            reps[1] = reps[0];
            reps[0] = cur.offset - 2;
        }
        uint32_t header = std::min<uint32_t>(cur.length - kMinMatch, kNumPrimaryLengths);
        uint16_t lengthSymbol = header == kNumPrimaryLengths ? static_cast<uint16_t>(cur.length - kMinMatch - kNumPrimaryLengths) : 0;
        items[n++] = {static_cast<uint16_t>(kNumChars + slot * 8 + header), lengthSymbol, footer};
        pos += cur.length;
        if (pos < end) cur = Best(pos, end, reps);
    }
    return n;
}

}  // namespace lzx
