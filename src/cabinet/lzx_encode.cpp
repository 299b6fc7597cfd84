// LZX encoder.
//
// Frames come in batches of up to kLzxBatchFrames. Each frame is
// x86-translated into the history buffer and parsed into literals and
// matches (lzx_parser over lzx_matchfinder, with the previous frame's code
// lengths as costs); then the batch is cut into blocks. Every frame starts
// as a block of its own; neighbouring coded frames are joined into one block
// while one set of trees for both costs no more bits than two, so data that
// stays alike shares its trees over up to a whole batch (a block's trees cost
// some hundred bytes) and data that changes gets trees of its own. A block
// spanning frames pads its bit stream to a word at every frame end, as the
// format requires; so every frame's bytes stand on their own as one cabinet
// data block.
//
// The block type is chosen by counting bits: verbatim, aligned offset (the low
// three footer bits of far offsets Huffman-coded with an 8-symbol tree, which
// pays on data with aligned structures) or uncompressed (raw bytes, for a
// frame that does not compress). An uncompressed block restates the repeated
// offsets in its header: it carries those of the frame's parse, which the
// following frames were parsed with.
//
// x86 call translation is always on, with the translation size of the common
// cabinet writers: E8 operands (CALL rel32) become absolute targets, which
// repeat across a program where relative ones do not. It is harmless for
// other data apart from a rare changed byte pattern.
//
// Memory, all allocated in the constructor: the match finder's history and
// links (about 5 windows) and hash heads, the parser's per-frame tables
// (about 4 MB), the batch's items and bytes (2.3 MB): some 19 MB for a 2 MiB
// window, 7 MB for 32 KiB. The match and item tables are left uninitialised
// and filled only as far as the data needs, so less of that is in use.
#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"
#include "cabinet/lzx_huffman.h"
#include "cabinet/lzx_matchfinder.h"
#include "cabinet/lzx_parser.h"

namespace {

using namespace lzx;

constexpr int32_t kE8TranslationSize = 12000000;

// Bits go MSB first into 16-bit little-endian words.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Put(uint32_t value, int n) {
        if (n == 0) return;
        buf_ = (buf_ << n) | value;
        count_ += n;
        while (count_ >= 16) {
            count_ -= 16;
            uint32_t w = static_cast<uint32_t>(buf_ >> count_);
            out_.push_back(static_cast<uint8_t>(w));
            out_.push_back(static_cast<uint8_t>(w >> 8));
        }
        buf_ &= (uint64_t{1} << count_) - 1;
    }
    // Zero bits up to the next word boundary.
    void Align() {
        if (count_) Put(0, 16 - count_);
    }
    // An uncompressed block's padding: 1..16 bits, a whole word when aligned.
    void AlignForRaw() { Put(0, count_ ? 16 - count_ : 16); }
    void Raw(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }

private:
    std::vector<uint8_t>& out_;
    uint64_t buf_ = 0;
    int count_ = 0;
};

// A symbol of the pretree with its extra bits.
struct PreSymbol {
    uint8_t symbol;
    uint8_t extraBits;
    uint8_t extra;
};

// Turns new code lengths into pretree symbols against the previous ones.
// Runs of equal lengths use symbol 19 only where the previous lengths are
// equal too, which every decoder reads alike.
size_t PretreeSymbols(const uint8_t* prev, const uint8_t* lens, int n, PreSymbol* out) {
    size_t k = 0;
    auto delta = [&](int i) { return static_cast<uint8_t>((prev[i] + 17 - lens[i]) % 17); };
    for (int i = 0; i < n;) {
        int run = 1;
        if (lens[i] == 0) {
            while (i + run < n && run < 51 && lens[i + run] == 0) ++run;
            if (run >= 20) {
                out[k++] = {18, 5, static_cast<uint8_t>(run - 20)};
                i += run;
                continue;
            }
            if (run >= 4) {
                out[k++] = {17, 4, static_cast<uint8_t>(run - 4)};
                i += run;
                continue;
            }
        } else {
            while (i + run < n && run < 5 && lens[i + run] == lens[i] && prev[i + run] == prev[i]) ++run;
            if (run >= 4) {
                out[k++] = {19, 1, static_cast<uint8_t>(run - 4)};
                out[k++] = {delta(i), 0, 0};
                i += run;
                continue;
            }
        }
        out[k++] = {delta(i), 0, 0};
        ++i;
    }
    return k;
}

// One pretree-coded section of code lengths: its symbols, pretree and size.
struct LengthSection {
    PreSymbol symbols[kMaxMainSymbols];
    size_t count = 0;
    uint8_t preLens[kPretreeSymbols];
    uint16_t preCodes[kPretreeSymbols];
    uint32_t bits = 0;

    void Prepare(const uint8_t* prev, const uint8_t* lens, int n) {
        count = PretreeSymbols(prev, lens, n, symbols);
        uint32_t freq[kPretreeSymbols] = {};
        for (size_t i = 0; i < count; ++i) ++freq[symbols[i].symbol];
        BuildCodeLengths(freq, kPretreeSymbols, kMaxPretreeLength, preLens);
        AssignCodes(preLens, kPretreeSymbols, preCodes);
        bits = 4 * kPretreeSymbols;
        for (size_t i = 0; i < count; ++i) bits += preLens[symbols[i].symbol] + symbols[i].extraBits;
    }
    void Write(BitWriter& bw) const {
        for (int i = 0; i < kPretreeSymbols; ++i) bw.Put(preLens[i], 4);
        for (size_t i = 0; i < count; ++i) {
            const PreSymbol& s = symbols[i];
            bw.Put(preCodes[s.symbol], preLens[s.symbol]);
            bw.Put(s.extra, s.extraBits);
        }
    }
};

// Symbol counts of a stretch of items (one frame, or a block of frames).
struct SymbolStats {
    uint32_t main[kMaxMainSymbols];
    uint32_t length[kNumLengthSymbols];
    uint32_t aligned[kAlignedSymbols];
    uint64_t verbatimFooterBits;
    uint64_t alignedFooterBits;  // without the aligned codes themselves

    void Count(const Item* items, size_t n) {
        std::memset(this, 0, sizeof *this);
        for (size_t i = 0; i < n; ++i) {
            const Item& it = items[i];
            ++main[it.mainSymbol];
            if (it.mainSymbol < kNumChars) continue;
            uint32_t m = it.mainSymbol - kNumChars;
            if ((m & 7) == kNumPrimaryLengths) ++length[it.lengthSymbol];
            if ((m >> 3) < kNumRepeats) continue;
            int extra = kSlots.extra[m >> 3];
            verbatimFooterBits += extra;
            if (extra >= 3) {
                ++aligned[it.footer & 7];
                alignedFooterBits += extra - 3;
            } else {
                alignedFooterBits += extra;
            }
        }
    }
    void Add(const SymbolStats& o) {
        for (int s = 0; s < kMaxMainSymbols; ++s) main[s] += o.main[s];
        for (int s = 0; s < kNumLengthSymbols; ++s) length[s] += o.length[s];
        for (int s = 0; s < kAlignedSymbols; ++s) aligned[s] += o.aligned[s];
        verbatimFooterBits += o.verbatimFooterBits;
        alignedFooterBits += o.alignedFooterBits;
    }
};

// The trees of one coded block and its size in bits (without the block header).
struct BlockCodes {
    uint8_t mainLens[kMaxMainSymbols];
    uint8_t lengthLens[kNumLengthSymbols];
    uint8_t alignedLens[kAlignedSymbols];
    LengthSection sections[3];
    bool aligned = false;
    uint64_t bits = 0;

    // Trees for stats; their lengths are sent as differences to prevMain and prevLength.
    void Build(const SymbolStats& stats, int mainSymbols, const uint8_t* prevMain, const uint8_t* prevLength) {
        BuildCodeLengths(stats.main, mainSymbols, kMaxCodeLength, mainLens);
        BuildCodeLengths(stats.length, kNumLengthSymbols, kMaxCodeLength, lengthLens);
        if (std::all_of(lengthLens, lengthLens + kNumLengthSymbols, [](uint8_t l) { return l == 0; }))
            lengthLens[0] = lengthLens[1] = 1;  // some decoders refuse an empty tree
        BuildCodeLengths(stats.aligned, kAlignedSymbols, kMaxAlignedLength, alignedLens);
        if (std::all_of(alignedLens, alignedLens + kAlignedSymbols, [](uint8_t l) { return l == 0; }))
            alignedLens[0] = alignedLens[1] = 1;

        sections[0].Prepare(prevMain, mainLens, kNumChars);
        sections[1].Prepare(prevMain + kNumChars, mainLens + kNumChars, mainSymbols - kNumChars);
        sections[2].Prepare(prevLength, lengthLens, kNumLengthSymbols);

        uint64_t symbolBits = 0;
        for (int s = 0; s < mainSymbols; ++s) symbolBits += uint64_t{stats.main[s]} * mainLens[s];
        for (int s = 0; s < kNumLengthSymbols; ++s) symbolBits += uint64_t{stats.length[s]} * lengthLens[s];
        uint64_t alignedCodeBits = 3 * kAlignedSymbols;
        for (int s = 0; s < kAlignedSymbols; ++s) alignedCodeBits += uint64_t{stats.aligned[s]} * alignedLens[s];
        const uint64_t common = uint64_t{sections[0].bits} + sections[1].bits + sections[2].bits + symbolBits;
        const uint64_t verbatimBits = common + stats.verbatimFooterBits;
        const uint64_t alignedBits = common + stats.alignedFooterBits + alignedCodeBits;
        aligned = alignedBits < verbatimBits;
        bits = std::min(verbatimBits, alignedBits);
    }
};

// A second path search pays only when the costs of the first one were
// stale: when they priced its symbols more than 2 % above its own codes.
constexpr uint64_t kStaleCostsNumerator = 102;
constexpr uint64_t kStaleCostsDenominator = 100;

// Bits of an uncompressed block of size bytes after its header: the padding
// to a word (at most 16 bits), the repeated offsets, the bytes, the pad byte.
uint64_t RawBits(size_t size) { return 16 + 8 * (kNumRepeats * 4 + size + (size & 1)); }

// The stream header, before the first block of a folder.
void PutStreamHeader(BitWriter& bw) {
    bw.Put(1, 1);
    bw.Put(static_cast<uint32_t>(kE8TranslationSize) >> 16, 16);
    bw.Put(static_cast<uint32_t>(kE8TranslationSize) & 0xFFFF, 16);
}

void PutBlockHeader(BitWriter& bw, BlockType type, size_t size) {
    bw.Put(type, 3);
    bw.Put(static_cast<uint32_t>(size) >> 8, 16);
    bw.Put(static_cast<uint32_t>(size) & 0xFF, 8);
}

}  // namespace

struct LzxEncoder::State {
    // One parsed frame of the batch.
    struct Frame {
        size_t size;
        size_t firstItem;
        size_t itemCount;
        uint32_t repsAfter[kNumRepeats];
        SymbolStats stats;
    };
    // Frames [first, first + count) as one block.
    struct Block {
        size_t first;
        size_t count;
        bool raw;
        uint64_t bits;
    };

    int windowBits;
    int mainSymbols;
    MatchFinder finder;
    Parser parser;
    SymbolCosts costs;
    bool started = false;
    uint64_t totalIn = 0;
    uint32_t frameIndex = 0;
    uint32_t reps[kNumRepeats];
    uint8_t prevMain[kMaxMainSymbols];
    uint8_t prevLength[kNumLengthSymbols];

    // The batch: its items, its translated bytes (for uncompressed blocks),
    // its frames and blocks.
    std::unique_ptr<Item[]> items;  // uninitialised, as the parser's matches
    std::vector<uint8_t> bytes;
    Frame frames[kLzxBatchFrames];
    Block blocks[kLzxBatchFrames];
    size_t blockCount = 0;
    SymbolStats joined;
    BlockCodes trial, codes;
    uint16_t mainCodes[kMaxMainSymbols];
    uint16_t lengthCodes[kNumLengthSymbols];
    uint16_t alignedCodes[kAlignedSymbols];

    explicit State(int bits)
        : windowBits(bits),
          mainSymbols(kNumChars + 8 * PositionSlots(bits)),
          finder(bits),
          items(new Item[kLzxBatchFrames * kLzxFrameSize]),
          bytes(kLzxBatchFrames * kLzxFrameSize) {
        Reset();
    }

    void Reset() {
        finder.Reset();
        started = false;
        totalIn = 0;
        frameIndex = 0;
        reps[0] = reps[1] = reps[2] = 1;
        std::memset(prevMain, 0, sizeof prevMain);
        std::memset(prevLength, 0, sizeof prevLength);
        costs.Initial(mainSymbols);
    }

    void TranslateE8(uint8_t* p, size_t size) const;
    void Encode(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
    void ParseFrame(size_t f, const uint8_t* data, size_t size, size_t firstItem);
    void PlanBlocks(size_t frameCount);
    void WriteRaw(const Block& b, std::vector<uint8_t>& out);
    void WriteCoded(const Block& b, std::vector<uint8_t>* out);
    void WriteItems(BitWriter& bw, const Frame& frame) const;
};

// CALL operands: relative -> absolute, the inverse of the decoder's step.
void LzxEncoder::State::TranslateE8(uint8_t* frame, size_t size) const {
    if (frameIndex >= kE8MaxFrames || size <= kE8TailBytes) return;
    uint8_t* p = frame;
    uint8_t* limit = frame + size - kE8TailBytes;
    while (p < limit) {
        p = static_cast<uint8_t*>(std::memchr(p, 0xE8, static_cast<size_t>(limit - p)));
        if (!p) break;
        int64_t cur = static_cast<int64_t>(totalIn) + (p - frame);
        int32_t rel = static_cast<int32_t>(p[1] | (p[2] << 8) | (p[3] << 16) | (static_cast<uint32_t>(p[4]) << 24));
        if (rel >= -cur && rel < kE8TranslationSize) {
            int64_t absolute = rel < kE8TranslationSize - cur ? rel + cur : rel - int64_t{kE8TranslationSize};
            uint32_t v = static_cast<uint32_t>(absolute);
            p[1] = static_cast<uint8_t>(v);
            p[2] = static_cast<uint8_t>(v >> 8);
            p[3] = static_cast<uint8_t>(v >> 16);
            p[4] = static_cast<uint8_t>(v >> 24);
        }
        p += 5;
    }
}

// Appends frame f to the history and finds its path. The path is searched
// under the previous frame's codes, then again under the codes the first
// path gets: stale costs (the start of a folder, a change in the data) cost
// more than the second search, which finds no matches of its own.
void LzxEncoder::State::ParseFrame(size_t f, const uint8_t* data, size_t size, size_t firstItem) {
    uint8_t* frame = finder.AppendFrame(size);
    std::memcpy(frame, data, size);
    TranslateE8(frame, size);
    std::memcpy(bytes.data() + f * kLzxFrameSize, frame, size);

    Frame& fr = frames[f];
    fr.size = size;
    fr.firstItem = firstItem;
    Item* const out = items.get() + firstItem;
    parser.Collect(finder);
    for (int pass = 0; pass < 2; ++pass) {
        fr.itemCount = parser.Choose(finder, costs, reps, fr.repsAfter, out);
        fr.stats.Count(out, fr.itemCount);
        trial.Build(fr.stats, mainSymbols, prevMain, prevLength);
        // The path's symbols as the costs it was chosen with priced them, and
        // as its own codes do: when the costs were close, a second search
        // would find nearly the same path.
        uint64_t priced = 0, coded = 0;
        for (int s = 0; s < mainSymbols; ++s) {
            priced += uint64_t{fr.stats.main[s]} * costs.main[s];
            coded += uint64_t{fr.stats.main[s]} * trial.mainLens[s];
        }
        for (int s = 0; s < kNumLengthSymbols; ++s) {
            priced += uint64_t{fr.stats.length[s]} * costs.length[s];
            coded += uint64_t{fr.stats.length[s]} * trial.lengthLens[s];
        }
        costs.FromLengths(trial.mainLens, trial.lengthLens, mainSymbols);  // pass 2's and the next frame's costs
        if (priced * kStaleCostsDenominator <= coded * kStaleCostsNumerator) break;
    }
    std::memcpy(reps, fr.repsAfter, sizeof reps);
    totalIn += size;
    ++frameIndex;
}

// Cuts the batch into blocks: each frame as the cheaper of coded and
// uncompressed, then a coded block grows by the next coded frame while the
// joined block is no larger than the two apart. Tree sizes are estimated
// against the trees before the batch.
void LzxEncoder::State::PlanBlocks(size_t frameCount) {
    blockCount = 0;
    for (size_t f = 0; f < frameCount; ++f) {
        trial.Build(frames[f].stats, mainSymbols, prevMain, prevLength);
        const uint64_t raw = RawBits(frames[f].size);
        Block alone{f, 1, raw <= trial.bits, std::min(raw, trial.bits)};
        if (blockCount > 0 && !alone.raw && !blocks[blockCount - 1].raw) {
            Block& last = blocks[blockCount - 1];
            joined = frames[last.first].stats;
            for (size_t g = last.first + 1; g <= f; ++g) joined.Add(frames[g].stats);
            trial.Build(joined, mainSymbols, prevMain, prevLength);
            if (trial.bits <= last.bits + alone.bits) {
                ++last.count;
                last.bits = trial.bits;
                continue;
            }
        }
        blocks[blockCount++] = alone;
    }
}

void LzxEncoder::State::WriteItems(BitWriter& bw, const Frame& frame) const {
    const Item* it = items.get() + frame.firstItem;
    for (const Item* end = it + frame.itemCount; it != end; ++it) {
        bw.Put(mainCodes[it->mainSymbol], codes.mainLens[it->mainSymbol]);
        if (it->mainSymbol < kNumChars) continue;
        uint32_t m = it->mainSymbol - kNumChars;
        if ((m & 7) == kNumPrimaryLengths) bw.Put(lengthCodes[it->lengthSymbol], codes.lengthLens[it->lengthSymbol]);
        uint32_t slot = m >> 3;
        if (slot < kNumRepeats) continue;
        int extra = kSlots.extra[slot];
        if (codes.aligned && extra >= 3) {
            bw.Put(it->footer >> 3, extra - 3);
            bw.Put(alignedCodes[it->footer & 7], codes.alignedLens[it->footer & 7]);
        } else {
            bw.Put(it->footer, extra);
        }
    }
}

// One frame as an uncompressed block. Its header sets the repeated offsets
// to those after the frame's parse, which the next frames were parsed with.
void LzxEncoder::State::WriteRaw(const Block& b, std::vector<uint8_t>& out) {
    const Frame& fr = frames[b.first];
    BitWriter bw(out);
    if (!started) PutStreamHeader(bw);
    started = true;
    PutBlockHeader(bw, kUncompressed, fr.size);
    bw.AlignForRaw();
    uint8_t header[kNumRepeats * 4];
    for (int i = 0; i < kNumRepeats; ++i)
        for (int k = 0; k < 4; ++k) header[4 * i + k] = static_cast<uint8_t>(fr.repsAfter[i] >> (8 * k));
    bw.Raw(header, sizeof header);
    bw.Raw(bytes.data() + b.first * kLzxFrameSize, fr.size);
    if (fr.size & 1) out.push_back(0);
}

// Frames of one coded block: the header and trees open the first frame, and
// every frame's bits end on a word.
void LzxEncoder::State::WriteCoded(const Block& b, std::vector<uint8_t>* out) {
    joined = frames[b.first].stats;
    size_t size = frames[b.first].size;
    for (size_t g = b.first + 1; g < b.first + b.count; ++g) {
        joined.Add(frames[g].stats);
        size += frames[g].size;
    }
    codes.Build(joined, mainSymbols, prevMain, prevLength);
    AssignCodes(codes.mainLens, mainSymbols, mainCodes);
    AssignCodes(codes.lengthLens, kNumLengthSymbols, lengthCodes);
    AssignCodes(codes.alignedLens, kAlignedSymbols, alignedCodes);
    for (size_t g = b.first; g < b.first + b.count; ++g) {
        BitWriter bw(out[g]);
        if (g == b.first) {
            if (!started) PutStreamHeader(bw);
            started = true;
            PutBlockHeader(bw, codes.aligned ? kAligned : kVerbatim, size);
            if (codes.aligned)
                for (int i = 0; i < kAlignedSymbols; ++i) bw.Put(codes.alignedLens[i], 3);
            for (const LengthSection& s : codes.sections) s.Write(bw);
        }
        WriteItems(bw, frames[g]);
        bw.Align();
    }
    std::memcpy(prevMain, codes.mainLens, sizeof prevMain);
    std::memcpy(prevLength, codes.lengthLens, sizeof prevLength);
}

void LzxEncoder::State::Encode(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
    size = std::min(size, kLzxBatchFrames * kLzxFrameSize);
    const size_t frameCount = (size + kLzxFrameSize - 1) / kLzxFrameSize;
    size_t firstItem = 0;
    for (size_t f = 0; f < frameCount; ++f) {
        const size_t n = std::min(kLzxFrameSize, size - f * kLzxFrameSize);
        ParseFrame(f, data + f * kLzxFrameSize, n, firstItem);
        firstItem += frames[f].itemCount;
        out[f].clear();
        out[f].reserve(n + n / 8 + 64);
    }
    PlanBlocks(frameCount);
    for (size_t i = 0; i < blockCount; ++i) {
        if (blocks[i].raw)
            WriteRaw(blocks[i], out[blocks[i].first]);
        else
            WriteCoded(blocks[i], out);
    }
}

LzxEncoder::LzxEncoder(int windowBits)
    : state_(std::make_unique<State>(ValidWindowBits(windowBits) ? windowBits : 21)) {}

LzxEncoder::~LzxEncoder() = default;

void LzxEncoder::Reset() { state_->Reset(); }

size_t LzxEncoder::MemoryBytes() const {
    const State& s = *state_;
    return sizeof s + s.finder.MemoryBytes() + s.parser.MemoryBytes() + kLzxBatchFrames * kLzxFrameSize * sizeof(Item) +
           s.bytes.capacity();
}

void LzxEncoder::EncodeFrames(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
    state_->Encode(data, size, out);
}
