#pragma once
// Constants of the LZX bit stream shared by the encoder and the decoder.
//
// Stream layout, as both sides see it:
//  - bits are packed into 16-bit little-endian words, most significant bit
//    first; a frame of 32768 output bytes always ends on a word boundary;
//  - the stream opens with one bit: 1 = x86 call translation is on and a
//    32-bit translation size follows (high 16 bits first);
//  - then blocks: 3 bits type, 24 bits uncompressed length, then the block's
//    trees (verbatim, aligned) or R0..R2 and raw bytes (uncompressed);
//  - main-tree symbol < 256 is a literal; otherwise symbol - 256 is
//    position slot * 8 + length header (0..6 = length 2..8, 7 = the length
//    tree adds 0..248 more). Slots 0..2 reuse the last three offsets R0..R2,
//    slot s >= 3 stands for offsets base[s] - 2 .. base[s+1] - 3 with extra[s]
//    footer bits.
#include <array>
#include <cstdint>

namespace lzx {

inline constexpr int kNumChars = 256;
inline constexpr int kMinMatch = 2;
inline constexpr int kMaxMatch = 257;
inline constexpr int kNumPrimaryLengths = 7;  // length header 7 = "see the length tree"
inline constexpr int kNumLengthSymbols = 249;
inline constexpr int kPretreeSymbols = 20;
inline constexpr int kAlignedSymbols = 8;
inline constexpr int kMaxPositionSlots = 50;
inline constexpr int kMaxMainSymbols = kNumChars + 8 * kMaxPositionSlots;
inline constexpr int kMaxCodeLength = 16;
inline constexpr int kMaxPretreeLength = 15;  // stored in 4 bits
inline constexpr int kMaxAlignedLength = 7;   // stored in 3 bits
inline constexpr int kNumRepeats = 3;

enum BlockType : uint32_t { kVerbatim = 1, kAligned = 2, kUncompressed = 3 };

// Translation of x86 CALL targets applies to the first 2^30 bytes only.
inline constexpr uint32_t kE8MaxFrames = 32768;
// Nothing is translated in the last 10 bytes of a frame.
inline constexpr uint32_t kE8TailBytes = 10;

struct SlotTables {
    std::array<uint32_t, kMaxPositionSlots + 1> base{};
    std::array<uint8_t, kMaxPositionSlots> extra{};
};

constexpr SlotTables MakeSlotTables() {
    SlotTables t;
    uint32_t base = 0;
    for (int s = 0; s < kMaxPositionSlots; ++s) {
        int e = s < 4 ? 0 : (s - 2) / 2;
        if (e > 17) e = 17;
        t.extra[s] = static_cast<uint8_t>(e);
        t.base[s] = base;
        base += 1u << e;
    }
    t.base[kMaxPositionSlots] = base;
    return t;
}

inline constexpr SlotTables kSlots = MakeSlotTables();

// Position slots needed for windows of 2^15 .. 2^21 bytes.
constexpr int PositionSlots(int windowBits) {
    constexpr int kSlotsByBits[] = {30, 32, 34, 36, 38, 42, 50};
    return kSlotsByBits[windowBits - 15];
}

constexpr bool ValidWindowBits(int windowBits) { return windowBits >= 15 && windowBits <= 21; }

// Slot of a formatted offset (real offset + 2, always >= 3 here).
inline uint32_t SlotOf(uint32_t formatted) {
    if (formatted >= (1u << 18)) return 36 + ((formatted - (1u << 18)) >> 17);
    uint32_t high = 31 - static_cast<uint32_t>(__builtin_clz(formatted));
    return 2 * high + ((formatted >> (high - 1)) & 1);
}

}  // namespace lzx
