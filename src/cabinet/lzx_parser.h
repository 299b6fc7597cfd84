#pragma once
// Choosing literals and matches for one frame of the LZX encoder.
//
// A shortest-path search over the frame's positions (a near-optimal parse):
// every position is reached by the cheapest known path, and from every
// position the parser tries a literal, the three repeated offsets at every
// length, and each match the finder reports at every length up to it. Costs
// are the code lengths of the previous block (a fixed guess for the first),
// so the parse adapts to the data without a second pass. The repeated
// offsets depend on the path taken; each position keeps those of its
// cheapest path, which is exact along the final path and an approximation
// for the paths compared, as usual for LZX and LZMA style parsers.
//
// A match of kNiceLength or more is taken outright and the positions it
// covers are not searched: long repeats (runs of zeros, copied sections)
// would otherwise cost up to 257 relaxations per byte.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cabinet/lzx_format.h"
#include "cabinet/lzx_matchfinder.h"

namespace lzx {

// One coded element: a literal (mainSymbol < 256) or a match.
struct Item {
    uint16_t mainSymbol;
    uint16_t lengthSymbol;  // for length header 7 only
    uint32_t footer;        // offset footer bits, for slots >= 3
};

// Bit costs of the symbols, from the previous block's code lengths.
struct SymbolCosts {
    uint8_t main[kMaxMainSymbols];
    uint8_t length[kNumLengthSymbols];
    void FromLengths(const uint8_t* mainLens, const uint8_t* lengthLens, int mainSymbols);
    void Initial(int mainSymbols);
};

class Parser {
public:
    Parser();
    // Parses the frame last appended to finder into items (room for one per
    // byte), updating the repeated offsets. Returns the number of items.
    size_t Parse(MatchFinder& finder, const SymbolCosts& costs, uint32_t reps[3], Item* items);

private:
    struct Node {
        uint32_t cost;
        uint32_t from;
        Item item;
        uint32_t reps[kNumRepeats];
    };
    std::vector<Node> nodes_;
    std::vector<Match> matches_;
};

}  // namespace lzx
