// LZX encoder: one block per frame.
//
// Each 32768-byte frame is x86-translated into the history buffer, parsed
// into literals and matches (lzx_parser over lzx_matchfinder, with the
// previous block's code lengths as costs), and written as exactly one
// block, because the frame's bytes must be final when EncodeFrame returns and
// a block spanning frames would need its trees before its later frames are
// known. Per-frame trees cost little: code lengths are sent as differences to
// the previous block's, so a tree that changes little is cheap.
//
// The block type is chosen by counting bits: verbatim, aligned offset (the low
// three footer bits of far offsets Huffman-coded with an 8-symbol tree, which
// pays on data with aligned structures) or uncompressed (raw bytes, for data
// that does not compress). An uncompressed block leaves the trees and the
// repeated offsets where they were before the frame.
//
// x86 call translation is always on, with the translation size of the common
// cabinet writers: E8 operands (CALL rel32) become absolute targets, which
// repeat across a program where relative ones do not. It is harmless for
// other data apart from a rare changed byte pattern.
//
// Memory, all allocated in the constructor: the match finder's history and
// links (about 5 windows) and hash heads, the parser's per-frame tables
// (about 4 MB): some 20 MB for a 2 MiB window, 5 MB for 32 KiB.
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

}  // namespace

struct LzxEncoder::State {
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

    // Per-frame scratch.
    Item items[kLzxFrameSize];
    uint32_t mainFreq[kMaxMainSymbols];
    uint32_t lengthFreq[kNumLengthSymbols];
    uint32_t alignedFreq[kAlignedSymbols];
    uint64_t verbatimFooterBits;
    uint64_t alignedFooterBits;  // without the aligned codes themselves
    uint8_t mainLens[kMaxMainSymbols];
    uint8_t lengthLens[kNumLengthSymbols];
    uint8_t alignedLens[kAlignedSymbols];
    uint16_t mainCodes[kMaxMainSymbols];
    uint16_t lengthCodes[kNumLengthSymbols];
    uint16_t alignedCodes[kAlignedSymbols];
    LengthSection sections[3];

    explicit State(int bits)
        : windowBits(bits), mainSymbols(kNumChars + 8 * PositionSlots(bits)), finder(bits) {
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
    void Encode(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
    void CountSymbols(size_t n);
    void BuildCodes();
    uint64_t SymbolBits() const;
    void WriteSymbols(BitWriter& bw, size_t n, bool aligned) const;
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

void LzxEncoder::State::WriteSymbols(BitWriter& bw, size_t n, bool aligned) const {
    for (size_t i = 0; i < n; ++i) {
        const Item& it = items[i];
        bw.Put(mainCodes[it.mainSymbol], mainLens[it.mainSymbol]);
        if (it.mainSymbol < kNumChars) continue;
        uint32_t m = it.mainSymbol - kNumChars;
        if ((m & 7) == kNumPrimaryLengths) bw.Put(lengthCodes[it.lengthSymbol], lengthLens[it.lengthSymbol]);
        uint32_t slot = m >> 3;
        if (slot < kNumRepeats) continue;
        int extra = kSlots.extra[slot];
        if (aligned && extra >= 3) {
            bw.Put(it.footer >> 3, extra - 3);
            bw.Put(alignedCodes[it.footer & 7], alignedLens[it.footer & 7]);
        } else {
            bw.Put(it.footer, extra);
        }
    }
}

void LzxEncoder::State::CountSymbols(size_t n) {
    std::memset(mainFreq, 0, sizeof mainFreq);
    std::memset(lengthFreq, 0, sizeof lengthFreq);
    std::memset(alignedFreq, 0, sizeof alignedFreq);
    verbatimFooterBits = alignedFooterBits = 0;
    for (size_t i = 0; i < n; ++i) {
        const Item& it = items[i];
        ++mainFreq[it.mainSymbol];
        if (it.mainSymbol < kNumChars) continue;
        uint32_t m = it.mainSymbol - kNumChars;
        if ((m & 7) == kNumPrimaryLengths) ++lengthFreq[it.lengthSymbol];
        int extra = kSlots.extra[m >> 3];
        if ((m >> 3) < kNumRepeats) continue;
        verbatimFooterBits += extra;
        if (extra >= 3) {
            ++alignedFreq[it.footer & 7];
            alignedFooterBits += extra - 3;
        } else {
            alignedFooterBits += extra;
        }
    }
}

uint64_t LzxEncoder::State::SymbolBits() const {
    uint64_t bits = 0;
    for (int s = 0; s < mainSymbols; ++s) bits += uint64_t{mainFreq[s]} * mainLens[s];
    for (int s = 0; s < kNumLengthSymbols; ++s) bits += uint64_t{lengthFreq[s]} * lengthLens[s];
    return bits;
}

void LzxEncoder::State::BuildCodes() {
    BuildCodeLengths(mainFreq, mainSymbols, kMaxCodeLength, mainLens);
    BuildCodeLengths(lengthFreq, kNumLengthSymbols, kMaxCodeLength, lengthLens);
    if (std::all_of(lengthLens, lengthLens + kNumLengthSymbols, [](uint8_t l) { return l == 0; }))
        lengthLens[0] = lengthLens[1] = 1;  // some decoders refuse an empty tree
    BuildCodeLengths(alignedFreq, kAlignedSymbols, kMaxAlignedLength, alignedLens);
    if (std::all_of(alignedLens, alignedLens + kAlignedSymbols, [](uint8_t l) { return l == 0; }))
        alignedLens[0] = alignedLens[1] = 1;
}

void LzxEncoder::State::Encode(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    if (size == 0) return;
    size = std::min(size, kLzxFrameSize);
    uint8_t* frame = finder.AppendFrame(size);
    std::memcpy(frame, data, size);
    TranslateE8(frame, size);

    // The path is searched under the previous block's codes, then again under
    // the codes the first path gets: stale costs (the start of a folder, a
    // change in the data) cost more than the second search, which finds no
    // matches of its own.
    parser.Collect(finder);
    uint32_t repsAfter[kNumRepeats];
    size_t n = parser.Choose(finder, costs, reps, repsAfter, items);
    CountSymbols(n);
    BuildCodes();
    costs.FromLengths(mainLens, lengthLens, mainSymbols);
    n = parser.Choose(finder, costs, reps, repsAfter, items);
    CountSymbols(n);
    BuildCodes();
    costs.FromLengths(mainLens, lengthLens, mainSymbols);  // the next frame's first guess

    sections[0].Prepare(prevMain, mainLens, kNumChars);
    sections[1].Prepare(prevMain + kNumChars, mainLens + kNumChars, mainSymbols - kNumChars);
    sections[2].Prepare(prevLength, lengthLens, kNumLengthSymbols);

    uint64_t symbolBits = SymbolBits();
    uint64_t alignedCodeBits = 3 * kAlignedSymbols;
    for (int s = 0; s < kAlignedSymbols; ++s) alignedCodeBits += uint64_t{alignedFreq[s]} * alignedLens[s];
    uint64_t treeBits = uint64_t{sections[0].bits} + sections[1].bits + sections[2].bits;
    uint64_t verbatimBits = treeBits + symbolBits + verbatimFooterBits;
    uint64_t alignedBits = treeBits + symbolBits + alignedFooterBits + alignedCodeBits;
    bool aligned = alignedBits < verbatimBits;
    uint64_t codedBits = std::min(verbatimBits, alignedBits);
    uint64_t rawBits = 16 + 8 * (kNumRepeats * 4 + size + (size & 1));

    out.reserve(out.size() + size + size / 8 + 64);
    BitWriter bw(out);
    if (!started) {
        bw.Put(1, 1);
        bw.Put(static_cast<uint32_t>(kE8TranslationSize) >> 16, 16);
        bw.Put(static_cast<uint32_t>(kE8TranslationSize) & 0xFFFF, 16);
        started = true;
    }
    if (rawBits <= codedBits) {
        // The repeated offsets stay as they were before the frame.
        bw.Put(kUncompressed, 3);
        bw.Put(static_cast<uint32_t>(size) >> 8, 16);
        bw.Put(static_cast<uint32_t>(size) & 0xFF, 8);
        bw.AlignForRaw();
        uint8_t header[kNumRepeats * 4];
        for (int i = 0; i < kNumRepeats; ++i)
            for (int b = 0; b < 4; ++b) header[4 * i + b] = static_cast<uint8_t>(reps[i] >> (8 * b));
        bw.Raw(header, sizeof header);
        bw.Raw(frame, size);
        if (size & 1) out.push_back(0);
    } else {
        AssignCodes(mainLens, mainSymbols, mainCodes);
        AssignCodes(lengthLens, kNumLengthSymbols, lengthCodes);
        bw.Put(aligned ? kAligned : kVerbatim, 3);
        bw.Put(static_cast<uint32_t>(size) >> 8, 16);
        bw.Put(static_cast<uint32_t>(size) & 0xFF, 8);
        if (aligned) {
            AssignCodes(alignedLens, kAlignedSymbols, alignedCodes);
            for (int i = 0; i < kAlignedSymbols; ++i) bw.Put(alignedLens[i], 3);
        }
        for (const LengthSection& s : sections) s.Write(bw);
        WriteSymbols(bw, n, aligned);
        bw.Align();
        std::memcpy(prevMain, mainLens, sizeof prevMain);
        std::memcpy(prevLength, lengthLens, sizeof prevLength);
        std::memcpy(reps, repsAfter, sizeof reps);
    }
    totalIn += size;
    ++frameIndex;
}

LzxEncoder::LzxEncoder(int windowBits)
    : state_(std::make_unique<State>(ValidWindowBits(windowBits) ? windowBits : 21)) {}

LzxEncoder::~LzxEncoder() = default;

void LzxEncoder::Reset() { state_->Reset(); }

void LzxEncoder::EncodeFrame(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    state_->Encode(data, size, out);
}
