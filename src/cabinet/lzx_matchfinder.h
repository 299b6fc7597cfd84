#pragma once
// Match finding and parsing for the LZX encoder.
//
// The history lives in one flat buffer of twice the window plus a frame:
// new frames are appended, and when the buffer is full the oldest whole
// windows are dropped with one memmove and the chain links are rebased. Flat
// storage keeps match comparison free of ring-buffer wrap checks.
//
// Matches come from hash chains over 3-byte prefixes (head per hash, one
// link per position, indexed modulo the window because nothing older can be
// referenced). The chain walk is bounded (maxChain links, stop at niceLength)
// so the work per position is bounded. The three repeated offsets R0..R2 are
// tried first at every position: they cost no footer bits, which a plain
// longest-match search would not see.
//
// Parsing is lazy: a match found at p is deferred while the next position
// offers a better one, where "better" weighs length against an estimate of
// the offset's cost. No optimal parsing: it would buy a few percent at
// several times the time.
//
// Matches never cross the end of the frame, as the format requires.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzx {

// One coded element: a literal (mainSymbol < 256) or a match.
struct Item {
    uint16_t mainSymbol;
    uint16_t lengthSymbol;  // for length header 7 only
    uint32_t footer;        // offset footer bits, for slots >= 3
};

class MatchFinder {
public:
    explicit MatchFinder(int windowBits);
    void Reset();

    // Room for the next frame of size bytes (<= 32768); the caller fills it
    // and then calls Parse for it.
    uint8_t* AppendFrame(size_t size);

    // Parses the frame just appended into items (at most size entries),
    // updating the repeated offsets. Returns the number of items.
    size_t Parse(uint32_t reps[3], Item* items);

private:
    uint32_t MatchLength(uint32_t a, uint32_t b, uint32_t limit) const;
    void Insert(uint32_t pos);
    struct Candidate {
        uint32_t length = 0;
        uint32_t offset = 0;  // 0..2 = repeated offset index, else real offset + 2 (formatted)
        int32_t value = 0;
    };
    Candidate Best(uint32_t pos, uint32_t end, const uint32_t reps[3]);

    uint32_t windowSize_;
    uint32_t maxOffset_;
    std::vector<uint8_t> buf_;
    std::vector<int32_t> head_;
    std::vector<int32_t> prev_;  // indexed by position & (windowSize - 1)
    uint32_t frameStart_ = 0;
    uint32_t end_ = 0;
    uint32_t hashed_ = 0;  // positions below are in the chains
};

}  // namespace lzx
