#include "cabinet/lzx_parser.h"

#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"

namespace lzx {

namespace {

// Cost of a symbol the previous block did not use.
constexpr uint8_t kUnusedCost = 14;

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

Parser::Parser() : nodes_(kLzxFrameSize + 1), matches_(kMaxMatch + 1) {}

size_t Parser::Parse(MatchFinder& finder, const SymbolCosts& costs, uint32_t reps[3], Item* items) {
    const uint8_t* buf = finder.Data();
    const uint32_t start = finder.FrameStart();
    const uint32_t n = finder.FrameEnd() - start;
    const uint32_t maxOffset = finder.WindowSize() - 3;
    Node* nodes = nodes_.data();

    nodes[0].cost = 0;
    std::memcpy(nodes[0].reps, reps, sizeof nodes[0].reps);
    for (uint32_t i = 1; i <= n; ++i) nodes[i].cost = UINT32_MAX;

    auto matchCost = [&](uint32_t slot, uint32_t length) {
        uint32_t c = costs.main[MainSymbol(slot, length)];
        if (length - kMinMatch >= kNumPrimaryLengths) c += costs.length[LengthSymbol(length)];
        return c;
    };
    // Relaxes the edge i -> i + length for a match; formatted < 3 is a repeat.
    auto relax = [&](uint32_t i, uint32_t length, uint32_t slot, uint32_t formatted, uint32_t cost) {
        Node& to = nodes[i + length];
        if (cost >= to.cost) return;
        to.cost = cost;
        to.from = i;
        to.item = {MainSymbol(slot, length), LengthSymbol(length), slot >= kNumRepeats ? formatted - kSlots.base[slot] : 0};
        const uint32_t* r = nodes[i].reps;
        if (slot < kNumRepeats) {
            std::memcpy(to.reps, r, sizeof to.reps);
            std::swap(to.reps[0], to.reps[slot]);
        } else {
            to.reps[0] = formatted - 2;
            to.reps[1] = r[0];
            to.reps[2] = r[1];
        }
    };

    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t pos = start + i;
        const uint32_t base = nodes[i].cost;
        {
            Node& to = nodes[i + 1];
            uint32_t c = base + costs.main[buf[pos]];
            if (c < to.cost) {
                to.cost = c;
                to.from = i;
                to.item = {buf[pos], 0, 0};
                std::memcpy(to.reps, nodes[i].reps, sizeof to.reps);
            }
        }

        uint32_t longest = 0, longestSlot = 0, longestFormatted = 0;
        for (uint32_t k = 0; k < kNumRepeats; ++k) {
            uint32_t off = nodes[i].reps[k];
            if (off > pos || off > maxOffset) continue;
            uint32_t len = finder.MatchLength(pos, pos - off, finder.Limit(pos, off));
            if (len < kMinMatch) continue;
            if (len > longest) longest = len, longestSlot = k, longestFormatted = k;
            if (len >= kNiceLength) break;
            for (uint32_t l = kMinMatch; l <= len; ++l) relax(i, l, k, k, base + matchCost(k, l));
        }

        size_t found = longest >= kNiceLength ? 0 : finder.Find(pos, matches_.data());
        uint32_t prevLen = kMinMatch;
        for (size_t m = 0; m < found && longest < kNiceLength; ++m) {
            const Match& mt = matches_[m];
            uint32_t formatted = mt.distance + 2;
            uint32_t slot = SlotOf(formatted);
            uint32_t footerCost = kSlots.extra[slot];
            if (mt.length > longest) longest = mt.length, longestSlot = slot, longestFormatted = formatted;
            if (mt.length >= kNiceLength) break;
            for (uint32_t l = prevLen + 1; l <= mt.length; ++l) relax(i, l, slot, formatted, base + matchCost(slot, l) + footerCost);
            prevLen = mt.length;
        }

        if (longest >= kNiceLength) {
            // Take it, and only index the positions it covers.
            uint32_t footerCost = longestSlot >= kNumRepeats ? kSlots.extra[longestSlot] : 0;
            relax(i, longest, longestSlot, longestFormatted, base + matchCost(longestSlot, longest) + footerCost);
            for (uint32_t j = 0; j < longest; ++j) finder.Skip(pos + j);
            i += longest - 1;
        }
    }

    // Walk back the cheapest path, then put it in order.
    size_t count = 0;
    for (uint32_t i = n; i > 0; i = nodes[i].from) items[count++] = nodes[i].item;
    std::reverse(items, items + count);
    std::memcpy(reps, nodes[n].reps, sizeof nodes[n].reps);
    return count;
}

}  // namespace lzx
