// LZX decoder.
//
// The decoder keeps the window (2^15 .. 2^21 bytes) as a ring buffer and
// decodes one frame (one data block of the cabinet) per call straight into it;
// frames start at multiples of 32768 in the window, so a frame never wraps
// inside the ring, only match sources do. The frame is then copied out and the
// x86 call translation is undone on the copy, never in the window, because
// later matches refer to the stored (translated) bytes.
//
// Huffman decoding is table driven: one lookup of the next kFastBits bits
// gives symbol and length for every code up to that length; the rare longer
// codes fall back to canonical decoding from per-length counts. The bit
// buffer is 64 bits wide and refilled two 16-bit words at a time whenever it
// holds 32 bits or fewer: a main and a length symbol, or a match's footer
// bits and aligned symbol, between refills.
//
// Hostile input: every tree must be complete (or entirely empty where the
// format allows it), every match must stay inside what has been output and
// inside both its block and its frame, reads past the end of the input
// deliver zeros but fail the frame, and every loop is bounded by the output
// size or by the input consumed. Any fault leaves the decoder failed until
// Reset.
#include <algorithm>
#include <cstring>

#include "cabinet/lzx.h"
#include "cabinet/lzx_format.h"

namespace {

using namespace lzx;

class BitReader {
public:
    BitReader(const uint8_t* in, size_t size) : begin_(in), p_(in), end_(in + size) {}

    // Leaves at least 33 bits in the buffer: a main and a length symbol, or
    // the footer bits of a match and an aligned symbol.
    void Refill() {
        if (count_ > 32) return;
        if (end_ - p_ >= 4) {
            // Two words at once, the first one the more significant.
            const uint64_t w = (static_cast<uint64_t>(p_[0] | (p_[1] << 8)) << 16) | (p_[2] | (p_[3] << 8));
            p_ += 4;
            buf_ |= w << (32 - count_);
            count_ += 32;
            return;
        }
        while (count_ <= 48) {
            uint64_t w;
            if (end_ - p_ >= 2) {
                w = p_[0] | (p_[1] << 8);
                p_ += 2;
            } else {
                // Past the end: zeros, remembered so that the frame fails.
                w = p_ < end_ ? p_[0] : 0;
                fake_ += 2 - static_cast<size_t>(end_ - p_);
                p_ = end_;
            }
            buf_ |= w << (48 - count_);
            count_ += 16;
        }
    }
    // n in 1..32; the caller has refilled.
    uint32_t Peek(int n) const { return static_cast<uint32_t>(buf_ >> (64 - n)); }
    void Skip(int n) {
        buf_ <<= n;
        count_ -= n;
    }
    uint32_t Read(int n) {
        if (n == 0) return 0;
        if (count_ < n) Refill();
        uint32_t v = Peek(n);
        Skip(n);
        return v;
    }

    size_t BitsConsumed() const {
        return (static_cast<size_t>(p_ - begin_) + fake_) * 8 - static_cast<size_t>(count_);
    }
    bool Overrun() const { return BitsConsumed() > static_cast<size_t>(end_ - begin_) * 8; }

    // Switches to byte mode for an uncompressed block: 1..16 bits of padding
    // up to the next word boundary. False when that lies beyond the input.
    bool AlignToWord() {
        size_t bits = BitsConsumed();
        bits = (bits | 15) + 1;
        return SeekByte(bits / 8);
    }
    bool SeekByte(size_t byte) {
        if (byte > static_cast<size_t>(end_ - begin_)) return false;
        p_ = begin_ + byte;
        buf_ = 0;
        count_ = 0;
        fake_ = 0;
        return true;
    }
    // Byte mode (after AlignToWord, or at the start of a frame).
    size_t BytesLeft() const { return static_cast<size_t>(end_ - p_); }
    const uint8_t* Bytes() const { return p_; }
    void TakeBytes(size_t n) { p_ += n; }

private:
    const uint8_t* begin_;
    const uint8_t* p_;
    const uint8_t* end_;
    uint64_t buf_ = 0;
    int count_ = 0;
    size_t fake_ = 0;
};

// Canonical Huffman decoding table for codes up to 16 bits.
template <int NumSymbols, int FastBits>
class HuffmanTable {
public:
    // False for an over-subscribed or incomplete code. An all-zero code is
    // accepted and marked empty; decoding from it is an error.
    bool Build(const uint8_t* lens) {
        uint16_t count[kMaxCodeLength + 1] = {};
        for (int s = 0; s < NumSymbols; ++s) ++count[lens[s]];
        count[0] = 0;
        int32_t left = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            left = 2 * left - count[len];
            if (left < 0) return false;
        }
        empty_ = left == (1 << kMaxCodeLength);
        if (empty_) return true;
        if (left != 0) return false;

        uint16_t offset[kMaxCodeLength + 2];
        offset[1] = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) offset[len + 1] = offset[len] + count[len];
        for (int s = 0; s < NumSymbols; ++s)
            if (lens[s]) sorted_[offset[lens[s]]++] = static_cast<uint16_t>(s);

        std::fill(std::begin(fast_), std::end(fast_), uint16_t{0});
        uint32_t code = 0;
        int index = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            firstCode_[len] = code;
            firstIndex_[len] = static_cast<uint16_t>(index);
            count_[len] = count[len];
            for (int i = 0; i < count[len]; ++i, ++code, ++index) {
                if (len > FastBits) continue;
                uint32_t from = code << (FastBits - len);
                uint32_t to = (code + 1) << (FastBits - len);
                uint16_t entry = static_cast<uint16_t>((sorted_[index] << 5) | len);
                for (uint32_t e = from; e < to; ++e) fast_[e] = entry;
            }
            code <<= 1;
        }
        return true;
    }

    bool Empty() const { return empty_; }

    // The reader holds at least 16 bits; the table is not empty.
    int Decode(BitReader& br) const {
        uint32_t bits = br.Peek(kMaxCodeLength);
        uint16_t e = fast_[bits >> (kMaxCodeLength - FastBits)];
        if (e != 0) {
            br.Skip(e & 31);
            return e >> 5;
        }
        for (int len = FastBits + 1; len <= kMaxCodeLength; ++len) {
            uint32_t code = bits >> (kMaxCodeLength - len);
            uint32_t d = code - firstCode_[len];
            if (d < count_[len]) {
                br.Skip(len);
                return sorted_[firstIndex_[len] + d];
            }
        }
        return 0;  // unreachable for a complete code
    }

private:
    uint16_t fast_[1 << FastBits];
    uint16_t sorted_[NumSymbols];
    uint32_t firstCode_[kMaxCodeLength + 1] = {};
    uint16_t firstIndex_[kMaxCodeLength + 1] = {};
    uint16_t count_[kMaxCodeLength + 1] = {};
    bool empty_ = true;
};

using MainTable = HuffmanTable<kMaxMainSymbols, 11>;
using LengthTable = HuffmanTable<kNumLengthSymbols, 10>;
using PretreeTable = HuffmanTable<kPretreeSymbols, 8>;
using AlignedTable = HuffmanTable<kAlignedSymbols, 7>;

}  // namespace

struct LzxDecoder::State {
    bool validWindow;  // false: every frame fails
    int windowBits;
    uint32_t windowSize;
    int mainSymbols;
    std::vector<uint8_t> window;

    bool failed;
    bool headerRead;
    bool shortFrameSeen;
    bool padPending;  // an odd-sized uncompressed block ended at a frame end
    int32_t e8Size;
    uint32_t windowPos;
    uint64_t totalOut;
    uint32_t frameIndex;
    uint32_t blockType;
    uint32_t blockSize;
    uint32_t blockRemaining;
    uint32_t r[kNumRepeats];

    uint8_t mainLens[kMaxMainSymbols];
    uint8_t lengthLens[kNumLengthSymbols];
    MainTable mainTable;
    LengthTable lengthTable;
    AlignedTable alignedTable;
    PretreeTable pretree;

    void Reset() {
        failed = false;
        headerRead = false;
        shortFrameSeen = false;
        padPending = false;
        e8Size = 0;
        windowPos = 0;
        totalOut = 0;
        frameIndex = 0;
        blockType = 0;
        blockSize = 0;
        blockRemaining = 0;
        r[0] = r[1] = r[2] = 1;
        std::memset(mainLens, 0, sizeof mainLens);
        std::memset(lengthLens, 0, sizeof lengthLens);
    }

    bool ReadLengths(BitReader& br, uint8_t* lens, int first, int last);
    bool ReadBlockHeader(BitReader& br);
    template <bool Aligned>
    bool DecodeRun(BitReader& br, uint32_t pos, uint32_t end, uint64_t produced);
    bool Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);
};

// Code lengths are sent as differences to the previous block's lengths,
// coded with a 20-symbol pretree: 0..16 = (previous - new) mod 17,
// 17 = 4..19 zeros, 18 = 20..51 zeros, 19 = 4..5 times one new value.
bool LzxDecoder::State::ReadLengths(BitReader& br, uint8_t* lens, int first, int last) {
    uint8_t preLens[kPretreeSymbols];
    br.Refill();
    for (int i = 0; i < kPretreeSymbols; ++i) preLens[i] = static_cast<uint8_t>(br.Read(4));
    if (!pretree.Build(preLens) || pretree.Empty()) return false;
    int x = first;
    while (x < last) {
        br.Refill();
        if (br.Overrun()) return false;
        int z = pretree.Decode(br);
        if (z == 17 || z == 18) {
            int run = z == 17 ? 4 + static_cast<int>(br.Read(4)) : 20 + static_cast<int>(br.Read(5));
            run = std::min(run, last - x);
            std::memset(lens + x, 0, static_cast<size_t>(run));
            x += run;
        } else if (z == 19) {
            int run = 4 + static_cast<int>(br.Read(1));
            int d = pretree.Decode(br);
            if (d > 16) return false;
            uint8_t v = static_cast<uint8_t>((lens[x] + 17 - d) % 17);
            run = std::min(run, last - x);
            std::memset(lens + x, v, static_cast<size_t>(run));
            x += run;
        } else {
            lens[x] = static_cast<uint8_t>((lens[x] + 17 - z) % 17);
            ++x;
        }
    }
    return true;
}

bool LzxDecoder::State::ReadBlockHeader(BitReader& br) {
    if (padPending) {
        if (br.BitsConsumed() != 0 || br.BytesLeft() == 0) return false;
        br.TakeBytes(1);
        padPending = false;
    }
    br.Refill();
    blockType = br.Read(3);
    blockSize = br.Read(16) << 8;
    blockSize |= br.Read(8);
    blockRemaining = blockSize;
    switch (blockType) {
    case kAligned: {
        uint8_t alignedLens[kAlignedSymbols];
        for (int i = 0; i < kAlignedSymbols; ++i) alignedLens[i] = static_cast<uint8_t>(br.Read(3));
        if (!alignedTable.Build(alignedLens) || alignedTable.Empty()) return false;
        [[fallthrough]];
    }
    case kVerbatim:
        if (!ReadLengths(br, mainLens, 0, kNumChars)) return false;
        if (!ReadLengths(br, mainLens, kNumChars, mainSymbols)) return false;
        if (!mainTable.Build(mainLens) || mainTable.Empty()) return false;
        if (!ReadLengths(br, lengthLens, 0, kNumLengthSymbols)) return false;
        if (!lengthTable.Build(lengthLens)) return false;
        return !br.Overrun();
    case kUncompressed: {
        if (br.Overrun() || !br.AlignToWord() || br.BytesLeft() < 12) return false;
        const uint8_t* p = br.Bytes();
        for (int i = 0; i < kNumRepeats; ++i)
            r[i] = p[4 * i] | (p[4 * i + 1] << 8) | (p[4 * i + 2] << 16) | (static_cast<uint32_t>(p[4 * i + 3]) << 24);
        br.TakeBytes(12);
        return true;
    }
    default:
        return false;
    }
}

// Decodes the symbols of a verbatim or aligned block into window[pos, end).
// produced = bytes output before pos since the folder started.
template <bool Aligned>
bool LzxDecoder::State::DecodeRun(BitReader& br, uint32_t pos, uint32_t end, uint64_t produced) {
    uint8_t* win = window.data();
    const uint32_t mask = windowSize - 1;
    const uint64_t start = pos;
    uint32_t r0 = r[0], r1 = r[1], r2 = r[2];
    while (pos < end) {
        br.Refill();
        int sym = mainTable.Decode(br);
        if (sym < kNumChars) {
            win[pos++] = static_cast<uint8_t>(sym);
            continue;
        }
        sym -= kNumChars;
        uint32_t length = static_cast<uint32_t>(sym & 7) + kMinMatch;
        uint32_t slot = static_cast<uint32_t>(sym) >> 3;
        if ((sym & 7) == kNumPrimaryLengths) {
            if (lengthTable.Empty()) return false;
            length += static_cast<uint32_t>(lengthTable.Decode(br));
        }
        uint32_t offset;
        if (slot == 0) {
            offset = r0;
        } else if (slot == 1) {
            offset = r1;
            r1 = r0;
            r0 = offset;
        } else if (slot == 2) {
            offset = r2;
            r2 = r0;
            r0 = offset;
        } else {
            br.Refill();
            int extra = kSlots.extra[slot];
            offset = kSlots.base[slot] - 2;
            if (Aligned && extra >= 3) {
                offset += br.Read(extra - 3) << 3;
                offset += static_cast<uint32_t>(alignedTable.Decode(br));
            } else {
                offset += br.Read(extra);
            }
            r2 = r1;
            r1 = r0;
            r0 = offset;
        }
        if (length > end - pos) return false;
        if (offset == 0 || offset > produced + (pos - start) || offset > windowSize) return false;
        uint32_t src = (pos - offset) & mask;
        uint8_t* dst = win + pos;
        if (src + length > windowSize) {
            for (uint32_t i = 0; i < length; ++i) dst[i] = win[(src + i) & mask];
        } else if (src < pos && pos - src < 8) {
            // The source runs into the bytes being written, closer than a
            // word: byte by byte, so repeated patterns unfold.
            const uint8_t* s = win + src;
            for (uint32_t i = 0; i < length; ++i) dst[i] = s[i];
        } else if (length >= 64 && (src < pos ? pos - src >= length : src - pos >= length)) {
            std::memcpy(dst, win + src, length);
        } else {
            // Word by word: each word is read before it is written, and a
            // source at least a word behind (or anywhere ahead) never reads
            // a byte this copy has yet to write. Nothing past the match is
            // touched.
            const uint8_t* s = win + src;
            uint32_t i = 0;
            for (; i + 8 <= length; i += 8) {
                uint64_t word;
                std::memcpy(&word, s + i, 8);
                std::memcpy(dst + i, &word, 8);
            }
            for (; i < length; ++i) dst[i] = s[i];
        }
        pos += length;
    }
    r[0] = r0;
    r[1] = r1;
    r[2] = r2;
    return !br.Overrun();
}

bool LzxDecoder::State::Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
    if (outSize > kLzxFrameSize || shortFrameSeen) return false;
    if (outSize == 0) return true;
    if (outSize < kLzxFrameSize) shortFrameSeen = true;

    BitReader br(in, inSize);
    if (!headerRead) {
        br.Refill();
        if (br.Read(1)) {
            uint32_t high = br.Read(16);
            e8Size = static_cast<int32_t>((high << 16) | br.Read(16));
        }
        headerRead = true;
    }

    const uint32_t frameStart = windowPos;
    const uint32_t frameEnd = frameStart + static_cast<uint32_t>(outSize);
    uint32_t pos = frameStart;
    while (pos < frameEnd) {
        if (blockRemaining == 0 && !ReadBlockHeader(br)) return false;
        uint32_t run = std::min(blockRemaining, frameEnd - pos);
        uint64_t produced = totalOut + (pos - frameStart);
        switch (blockType) {
        case kVerbatim:
            if (!DecodeRun<false>(br, pos, pos + run, produced)) return false;
            break;
        case kAligned:
            if (!DecodeRun<true>(br, pos, pos + run, produced)) return false;
            break;
        default:  // uncompressed: the reader is in byte mode
            if (br.BytesLeft() < run) return false;
            std::memcpy(window.data() + pos, br.Bytes(), run);
            br.TakeBytes(run);
            if (blockRemaining == run && (blockSize & 1)) {
                if (br.BytesLeft() > 0)
                    br.TakeBytes(1);
                else
                    padPending = true;
            }
            break;
        }
        pos += run;
        blockRemaining -= run;
    }
    if (br.Overrun()) return false;

    std::memcpy(out, window.data() + frameStart, outSize);
    if (e8Size > 0 && frameIndex < kE8MaxFrames && outSize > kE8TailBytes) {
        const int64_t frameOffset = static_cast<int64_t>(totalOut);
        uint8_t* p = out;
        uint8_t* limit = out + outSize - kE8TailBytes;
        while (p < limit) {
            p = static_cast<uint8_t*>(std::memchr(p, 0xE8, static_cast<size_t>(limit - p)));
            if (!p) break;
            int64_t cur = frameOffset + (p - out);
            int32_t absolute = static_cast<int32_t>(p[1] | (p[2] << 8) | (p[3] << 16) | (static_cast<uint32_t>(p[4]) << 24));
            if (absolute >= -cur && absolute < e8Size) {
                int64_t rel = absolute >= 0 ? absolute - cur : absolute + static_cast<int64_t>(e8Size);
                uint32_t v = static_cast<uint32_t>(rel);
                p[1] = static_cast<uint8_t>(v);
                p[2] = static_cast<uint8_t>(v >> 8);
                p[3] = static_cast<uint8_t>(v >> 16);
                p[4] = static_cast<uint8_t>(v >> 24);
            }
            p += 5;
        }
    }
    windowPos = frameEnd & (windowSize - 1);
    totalOut += outSize;
    ++frameIndex;
    return true;
}

LzxDecoder::LzxDecoder(int windowBits) : state_(std::make_unique<State>()) {
    state_->validWindow = ValidWindowBits(windowBits);
    if (!state_->validWindow) windowBits = 15;
    state_->windowBits = windowBits;
    state_->windowSize = 1u << windowBits;
    state_->mainSymbols = kNumChars + 8 * PositionSlots(windowBits);
    state_->window.assign(state_->windowSize, 0);
    state_->Reset();
}

LzxDecoder::~LzxDecoder() = default;

void LzxDecoder::Reset() { state_->Reset(); }

bool LzxDecoder::DecodeFrame(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
    State& s = *state_;
    if (s.failed || !s.validWindow) return false;
    if (!s.Decode(in, inSize, out, outSize)) {
        s.failed = true;
        return false;
    }
    return true;
}
