// libFuzzer target for the LZX codec alone, faster to explore than through
// the cabinet reader. The first byte chooses the window and the mode:
//  - decode: the rest is a series of frames, each a 2-byte uncompressed size
//    and a 2-byte compressed size (little endian) and that many bytes, fed to
//    one decoder until it refuses one; any fault is a finding;
//  - round trip: the rest is data, encoded in batches of 1..8 frames (bits
//    3..5 of the first byte) and decoded back; any difference is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "cabinet/lzx.h"

namespace {

// One codec per window, kept across inputs (a 2 MiB window costs more to
// set up than most inputs take), started afresh with Reset.
LzxDecoder& Decoder(int windowBits) {
    static std::unique_ptr<LzxDecoder> decoders[7];
    auto& d = decoders[windowBits - 15];
    if (!d) d = std::make_unique<LzxDecoder>(windowBits);
    d->Reset();
    return *d;
}

LzxEncoder& Encoder(int windowBits) {
    static std::unique_ptr<LzxEncoder> encoders[7];
    auto& e = encoders[windowBits - 15];
    if (!e) e = std::make_unique<LzxEncoder>(windowBits);
    e->Reset();
    return *e;
}

void DecodeFrames(int windowBits, const uint8_t* p, size_t n) {
    LzxDecoder& dec = Decoder(windowBits);
    std::vector<uint8_t> out(kLzxFrameSize);
    while (n >= 4) {
        size_t plain = (p[0] | (p[1] << 8)) % (kLzxFrameSize + 1);
        size_t packed = p[2] | (p[3] << 8);
        p += 4;
        n -= 4;
        packed = packed < n ? packed : n;
        // The frame in a buffer of its own size, so that reading past it is caught.
        std::vector<uint8_t> in(p, p + packed);
        if (!dec.DecodeFrame(in.data(), in.size(), out.data(), plain)) return;
        p += packed;
        n -= packed;
    }
}

void RoundTrip(int windowBits, size_t batchFrames, const uint8_t* p, size_t n) {
    LzxEncoder& enc = Encoder(windowBits);
    LzxDecoder& dec = Decoder(windowBits);
    std::vector<std::vector<uint8_t>> frames(kLzxBatchFrames);
    std::vector<uint8_t> out(kLzxFrameSize);
    const size_t batch = batchFrames * kLzxFrameSize;
    for (size_t pos = 0; pos < n; pos += batch) {
        const size_t size = n - pos < batch ? n - pos : batch;
        enc.EncodeFrames(p + pos, size, frames.data());
        for (size_t f = 0; f * kLzxFrameSize < size; ++f) {
            const size_t plain = size - f * kLzxFrameSize < kLzxFrameSize ? size - f * kLzxFrameSize : kLzxFrameSize;
            if (!dec.DecodeFrame(frames[f].data(), frames[f].size(), out.data(), plain) ||
                std::memcmp(out.data(), p + pos + f * kLzxFrameSize, plain) != 0)
                std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    int windowBits = 15 + data[0] % 7;
    if (data[0] & 0x80)
        RoundTrip(windowBits, 1 + ((data[0] >> 3) & 7), data + 1, size - 1);
    else
        DecodeFrames(windowBits, data + 1, size - 1);
    return 0;
}
