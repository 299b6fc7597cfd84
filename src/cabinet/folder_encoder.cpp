#include "cabinet/folder_encoder.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/lzx.h"
#include "cabinet/mszip.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace {

size_t BlockCount(size_t inputSize) { return (inputSize + cab::kBlockSize - 1) / cab::kBlockSize; }

std::span<const uint8_t> BlockOf(std::span<const uint8_t> input, size_t i) {
    const size_t from = i * cab::kBlockSize;
    return input.subspan(from, std::min(cab::kBlockSize, input.size() - from));
}

class StoreEncoder : public FolderEncoder {
public:
    size_t BatchBlocks() const override { return 1; }
    void Reset() override {}
    void Encode(std::span<const uint8_t>, std::span<const uint8_t> input,
                std::vector<std::vector<uint8_t>>& out) override {
        for (size_t i = 0; i < BlockCount(input.size()); ++i) {
            const auto block = BlockOf(input, i);
            out[i].assign(block.begin(), block.end());
        }
    }
};

class LzxFolderEncoder : public FolderEncoder {
public:
    explicit LzxFolderEncoder(int windowBits) : encoder_(windowBits) {}
    size_t BatchBlocks() const override { return kLzxBatchFrames; }
    void Reset() override { encoder_.Reset(); }
    size_t MemoryBytes() const override { return encoder_.MemoryBytes(); }
    void Encode(std::span<const uint8_t>, std::span<const uint8_t> input,
                std::vector<std::vector<uint8_t>>& out) override {
        encoder_.EncodeFrames(input.data(), input.size(), out.data());
        for (size_t i = 0; i < BlockCount(input.size()); ++i)
            if (out[i].size() > 0xFFFF) throw CabError(CabErrorKind::Compression, L"Błąd kompresji LZX.");
    }

private:
    LzxEncoder encoder_;
};

// Compresses the blocks of a batch on all threads; the calling thread is one
// of them. The batch is cut into runs of kRunBlocks consecutive blocks, each
// compressed by one thread primed once with the 32 KiB before the run; the
// cut does not depend on the number of threads, so neither does the output.
// A batch is a few megabytes, so starting the helper threads per batch costs
// far less than the compression itself.
class MszipFolderEncoder : public FolderEncoder {
public:
    static constexpr size_t kRunBlocks = 8;

    MszipFolderEncoder(int level, unsigned threads) {
        for (unsigned t = 0; t < threads; ++t) compressors_.push_back(std::make_unique<MszipCompressor>(level));
    }
    size_t BatchBlocks() const override { return kRunBlocks * 4 * compressors_.size(); }
    void Reset() override {}
    void Encode(std::span<const uint8_t> dictionary, std::span<const uint8_t> input,
                std::vector<std::vector<uint8_t>>& out) override {
        const size_t blocks = BlockCount(input.size());
        const size_t runs = (blocks + kRunBlocks - 1) / kRunBlocks;
        // The input of a batch directly follows its dictionary in memory.
        const uint8_t* const base = input.data();
        std::atomic<size_t> next{0};
        std::exception_ptr error;
        std::atomic<bool> failed{false};
        auto work = [&](MszipCompressor& compressor) {
            try {
                for (size_t run = next++; run < runs && !failed; run = next++) {
                    const size_t first = run * kRunBlocks;
                    const size_t from = first * cab::kBlockSize;
                    const size_t dictSize = std::min(cab::kBlockSize, from + dictionary.size());
                    compressor.Begin(std::span(base + from - dictSize, dictSize));
                    for (size_t i = first; i < std::min(blocks, first + kRunBlocks); ++i)
                        compressor.Compress(BlockOf(input, i), out[i]);
                }
            } catch (...) {
                if (!failed.exchange(true)) error = std::current_exception();
            }
        };
        const size_t helpers = std::min(compressors_.size(), runs) - 1;
        std::vector<std::thread> threads;
        for (size_t t = 0; t < helpers; ++t) threads.emplace_back(work, std::ref(*compressors_[t + 1]));
        work(*compressors_[0]);
        for (auto& thread : threads) thread.join();
        if (error) std::rethrow_exception(error);
    }

private:
    std::vector<std::unique_ptr<MszipCompressor>> compressors_;
};

}  // namespace

std::unique_ptr<FolderEncoder> FolderEncoder::Create(CabCompression compression, int mszipLevel, unsigned threads) {
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
    switch (compression.method) {
        case CabMethod::None: return std::make_unique<StoreEncoder>();
        case CabMethod::Mszip: return std::make_unique<MszipFolderEncoder>(mszipLevel, threads);
        case CabMethod::Lzx:
            if (compression.lzxWindowBits < 15 || compression.lzxWindowBits > 21) break;
            return std::make_unique<LzxFolderEncoder>(compression.lzxWindowBits);
        default: break;
    }
    throw CabError(CabErrorKind::UnknownCompression, L"Nieznany rodzaj kompresji.");
}
