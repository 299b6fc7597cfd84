#include "cabinet/lzx_parser.h"

#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"

namespace lzx {

namespace {

// Cost of a symbol the code does not contain.
constexpr uint8_t kUnusedCost = 11;
constexpr uint32_t kTaken = UINT32_MAX;

inline uint16_t MainSymbol(uint32_t slot, uint32_t length) {
    return static_cast<uint16_t>(kNumChars + slot * 8 + std::min<uint32_t>(length - kMinMatch, kNumPrimaryLengths));
}

inline uint16_t LengthSymbol(uint32_t length) {
    return length - kMinMatch >= kNumPrimaryLengths ? static_cast<uint16_t>(length - kMinMatch - kNumPrimaryLengths) : 0;
}

}  // namespace

void SymbolCosts::FromLengths(const uint8_t* mainLens, const uint8_t* lengthLens, int mainSymbols) {
    for (int s = 0; s < mainSymbols; ++s) main[s] = mainLens[s] ? mainLens[s] : kUnusedCost;
    for (int s = 0; s < kNumLengthSymbols; ++s) length[s] = lengthLens[s] ? lengthLens[s] : kUnusedCost;
}

// Before any block: literals about a byte, matches a little more, longer
// lengths and farther slots dearer.
void SymbolCosts::Initial(int mainSymbols) {
    for (int s = 0; s < kNumChars; ++s) main[s] = 8;
    for (int s = kNumChars; s < mainSymbols; ++s) {
        int slot = (s - kNumChars) >> 3;
        main[s] = static_cast<uint8_t>(std::min(9 + slot / 4, 15));
    }
    for (int s = 0; s < kNumLengthSymbols; ++s) length[s] = static_cast<uint8_t>(std::min(5 + s / 16, 15));
}

Parser::Parser()
    : nodes_(kLzxFrameSize + 1),
      first_(kLzxFrameSize + 1),
      packed_(new uint32_t[kLzxFrameSize * kMaxCandidates]),
      found_(kMaxCandidates) {}

void Parser::Collect(MatchFinder& finder) {
    const uint32_t start = finder.FrameStart();
    const uint32_t n = finder.FrameEnd() - start;
    uint32_t used = 0;
    for (uint32_t i = 0; i < n;) {
        size_t count = finder.Find(start + i, found_.data());
        first_[i] = used;
        for (size_t m = 0; m < count; ++m) packed_[used++] = found_[m].distance << 8 | (found_[m].length - 3);
        ++i;
        if (count > 0 && found_[count - 1].length >= kNiceLength) {
            // Taken outright: index the positions it covers, search none.
            uint32_t end = i - 1 + found_[count - 1].length;
            for (; i < end; ++i) {
                finder.Skip(start + i);
                first_[i] = kTaken;
            }
        }
    }
    first_[n] = used;
}

size_t Parser::Choose(const MatchFinder& finder, const SymbolCosts& costs, const uint32_t repsIn[3],
                      uint32_t repsOut[3], Item* items) {
    const uint8_t* buf = finder.Data();
    const uint32_t start = finder.FrameStart();
    const uint32_t n = finder.FrameEnd() - start;
    const uint32_t maxOffset = finder.WindowSize() - 3;
    Node* nodes = nodes_.data();

    nodes[0].cost = 0;
    std::memcpy(nodes[0].reps, repsIn, sizeof nodes[0].reps);
    for (uint32_t i = 1; i <= n; ++i) nodes[i].cost = UINT32_MAX;

    // Relaxes the edges i -> i + l, lo <= l <= hi, of one offset: the main
    // symbol carries lengths up to 8, the length tree the rest.
    auto relax = [&](uint32_t i, uint32_t lo, uint32_t hi, uint32_t slot, uint32_t formatted, uint32_t cost) {
        const uint8_t* mainCost = costs.main + kNumChars + slot * 8;  // by length - 2
        uint32_t l = lo;
        for (uint32_t shortEnd = std::min<uint32_t>(hi, kMinMatch + kNumPrimaryLengths - 1); l <= shortEnd; ++l) {
            Node& to = nodes[i + l];
            uint32_t c = cost + mainCost[l - kMinMatch];
            if (c < to.cost) to.cost = c, to.length = l, to.formatted = formatted;
        }
        const uint32_t longCost = cost + mainCost[kNumPrimaryLengths];
        for (; l <= hi; ++l) {
            Node& to = nodes[i + l];
            uint32_t c = longCost + costs.length[l - kMinMatch - kNumPrimaryLengths];
            if (c < to.cost) to.cost = c, to.length = l, to.formatted = formatted;
        }
    };
    // The repeated offsets at node i, from its predecessor's and the step.
    auto settleReps = [&](uint32_t i) {
        Node& node = nodes[i];
        const uint32_t* r = nodes[i - node.length].reps;
        std::memcpy(node.reps, r, sizeof node.reps);
        if (node.length == 1) return;  // literal
        if (node.formatted < kNumRepeats) {
            std::swap(node.reps[0], node.reps[node.formatted]);
        } else {
            node.reps[0] = node.formatted - 2;
            node.reps[1] = r[0];
            node.reps[2] = r[1];
        }
    };

    for (uint32_t i = 0; i < n; ++i) {
        if (first_[i] == kTaken) continue;  // inside a match taken outright
        const uint32_t pos = start + i;
        const uint32_t base = nodes[i].cost;
        if (i > 0) settleReps(i);
        {
            Node& to = nodes[i + 1];
            uint32_t c = base + costs.main[buf[pos]];
            if (c < to.cost) to.cost = c, to.length = 1;
        }

        for (uint32_t k = 0; k < kNumRepeats; ++k) {
            uint32_t off = nodes[i].reps[k];
            if (off > pos || off > maxOffset) continue;
            uint32_t len = finder.MatchLength(pos, pos - off, finder.Limit(pos, off));
            if (len >= kMinMatch) relax(i, kMinMatch, len, k, k, base);
        }

        uint32_t prevLen = kMinMatch;
        uint32_t from = first_[i];
        uint32_t to = first_[i + 1];
        if (to == kTaken) {
            // The last match here is taken outright: only its full length.
            uint32_t j = i + 2;
            while (first_[j] == kTaken) ++j;
            to = first_[j];
        }
        for (uint32_t m = from; m < to; ++m) {
            uint32_t length = (packed_[m] & 0xFF) + 3;
            uint32_t formatted = (packed_[m] >> 8) + 2;
            uint32_t slot = SlotOf(formatted);
            uint32_t cost = base + kSlots.extra[slot];
            if (length >= kNiceLength) {
                relax(i, length, length, slot, formatted, cost);
                break;
            }
            relax(i, prevLen + 1, length, slot, formatted, cost);
            prevLen = length;
        }
    }

    // Walk back the cheapest path, then put it in order.
    size_t count = 0;
    for (uint32_t i = n; i > 0; i -= nodes[i].length) {
        const Node& node = nodes[i];
        if (node.length == 1) {
            items[count++] = {buf[start + i - 1], 0, 0};
            continue;
        }
        uint32_t slot = node.formatted < kNumRepeats ? node.formatted : SlotOf(node.formatted);
        uint32_t footer = node.formatted < kNumRepeats ? 0 : node.formatted - kSlots.base[slot];
        items[count++] = {MainSymbol(slot, node.length), LengthSymbol(node.length), footer};
    }
    std::reverse(items, items + count);
    settleReps(n);
    std::memcpy(repsOut, nodes[n].reps, sizeof nodes[n].reps);
    return count;
}

}  // namespace lzx
