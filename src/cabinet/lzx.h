#pragma once
// LZX compression as cabinets use it.
//
// A cabinet folder compressed with LZX is one continuous LZX stream cut into
// frames of 32768 uncompressed bytes (the last frame of a folder may be
// shorter). Every frame ends on a 16-bit boundary of the bit stream and is
// stored as one data block, so a reader can hand the decoder one block at a
// time. The window (2^15 .. 2^21 bytes) and the decoder state run on across
// the frames of a folder and start afresh with the next folder (Reset).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

inline constexpr size_t kLzxFrameSize = 32768;
// Most frames one EncodeFrames call takes; blocks may span them.
inline constexpr size_t kLzxBatchFrames = 8;

class LzxEncoder {
public:
    explicit LzxEncoder(int windowBits);  // 15..21
    ~LzxEncoder();
    LzxEncoder(const LzxEncoder&) = delete;
    LzxEncoder& operator=(const LzxEncoder&) = delete;

    // Starts a new folder.
    void Reset();
    // What the encoder holds (it allocates everything when constructed).
    size_t MemoryBytes() const;
    // Compresses the next size bytes of the folder (at most kLzxBatchFrames
    // frames; every frame kLzxFrameSize bytes except the last frame of a
    // folder) and stores the bytes of frame i in out[i], one vector per frame,
    // replacing what it held. Each frame ends on a 16-bit boundary and is
    // final on return. Size 0 stores nothing: an empty folder has no data
    // blocks. (A windowBits outside 15..21 encodes as 21.)
    void EncodeFrames(const uint8_t* data, size_t size, std::vector<uint8_t>* out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

class LzxDecoder {
public:
    explicit LzxDecoder(int windowBits);  // 15..21
    ~LzxDecoder();
    LzxDecoder(const LzxDecoder&) = delete;
    LzxDecoder& operator=(const LzxDecoder&) = delete;

    // Starts a new folder.
    void Reset();
    // Decodes one data block into exactly outSize bytes (its stated
    // uncompressed size). False when the data is damaged, when a frame
    // follows a short one, or for a windowBits outside 15..21; the decoder
    // then refuses everything until Reset. Never reads or writes out of bounds.
    bool DecodeFrame(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

private:
    struct State;
    std::unique_ptr<State> state_;
};
