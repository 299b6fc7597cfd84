#pragma once
// Choosing literals and matches for one frame of the LZX encoder.
//
// A shortest-path search over the frame's positions (a near-optimal parse):
// every position is reached by the cheapest known path, and from every
// position the parser tries a literal, the three repeated offsets at every
// length, and each match the finder reported at every length up to it. The
// repeated offsets depend on the path taken; each position keeps those of
// its cheapest path, which is exact along the final path and an
// approximation for the paths compared, as usual for LZX and LZMA style
// parsers.
//
// The search for matches (Collect) is done once per frame and kept, packed
// in 32 bits each, so that the path search (Choose) can run twice: first
// with the costs of the previous frame's codes, then, where those proved
// stale, with the codes that the first path would get.
//
// A match of kNiceLength or more is taken outright and the positions it
// covers are not searched: long repeats (runs of zeros, copied sections)
// would otherwise cost up to 257 relaxations per byte.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"
#include "cabinet/lzx_matchfinder.h"

namespace lzx {

// One coded element: a literal (mainSymbol < 256) or a match.
struct Item {
    uint16_t mainSymbol;
    uint16_t lengthSymbol;  // for length header 7 only
    uint32_t footer;        // offset footer bits, for slots >= 3
};

// Bit costs of the symbols, from code lengths.
struct SymbolCosts {
    uint8_t main[kMaxMainSymbols];
    uint8_t length[kNumLengthSymbols];
    void FromLengths(const uint8_t* mainLens, const uint8_t* lengthLens, int mainSymbols);
    void Initial(int mainSymbols);
};

class Parser {
public:
    Parser();
    // Finds the matches of the frame last appended to finder.
    void Collect(MatchFinder& finder);
    // The cheapest path through the collected frame under costs, starting
    // with the repeated offsets repsIn; repsOut gets those after the frame.
    // Returns the number of items (room for one per byte).
    size_t Choose(const MatchFinder& finder, const SymbolCosts& costs, const uint32_t repsIn[3], uint32_t repsOut[3],
                  Item* items);

    size_t MemoryBytes() const {
        return nodes_.capacity() * sizeof(Node) + 4 * (first_.capacity() + kLzxFrameSize * kMaxCandidates) +
               found_.capacity() * sizeof(Match);
    }

private:
    // The cheapest known way into a position: the step that ends there
    // (length 1 for a literal) and its cost from the start.
    struct Node {
        uint32_t cost;
        uint32_t length;
        uint32_t formatted;  // < 3: repeated offset index
        uint32_t reps[kNumRepeats];
    };
    std::vector<Node> nodes_;
    // Per position: the first of its matches in packed_, or kTaken for a
    // position inside a match taken outright. Packed: distance << 8 | (length - 3).
    std::vector<uint32_t> first_;
    // Room for the most matches a frame can have, left uninitialised: only
    // what Collect wrote is read, and pages never written take no memory.
    std::unique_ptr<uint32_t[]> packed_;
    std::vector<Match> found_;
};

}  // namespace lzx
