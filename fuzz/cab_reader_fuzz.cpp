// libFuzzer target for the cabinet reader: the input is taken as a cabinet
// and listed, extracted into memory and tested. Any crash, hang, sanitizer
// report or unbounded allocation is a fault; CabError is the expected answer
// to damage. A budget of decoded blocks keeps legitimately huge (but tiny on
// disk) archives from timing the fuzzer out.
#include "cabinet/cab_error.h"
#include "cabinet/cab_reader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

class CountingTarget : public ExtractTarget {
public:
    bool Begin(size_t, const CabEntry& entry) override { return !entry.name.empty(); }
    void Write(size_t, std::span<const uint8_t> bytes) override {
        for (uint8_t b : bytes) sum_ += b;  // touch every byte, as a real writer does
    }
    void Finish(size_t) override {}
    void Abort(size_t) noexcept override {}

private:
    unsigned sum_ = 0;
};

constexpr size_t kBlockBudget = 2048;  // 64 MiB of output per phase

BlockCallback Budget(size_t& blocks) {
    return [&blocks](size_t, size_t) {
        if (++blocks > kBlockBudget) throw Failure(L"budget");
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<CabReader> reader;
    try {
        reader = std::make_unique<CabReader>(std::make_unique<MemorySource>(std::span(data, size)));
    } catch (const Failure&) {
        return 0;
    }
    for (const auto& entry : reader->Entries())
        (void)CompressionText(entry.Spans() ? CabCompression{} : reader->Folders()[entry.folder].compression);
    std::vector<size_t> all(reader->Entries().size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    // Each phase on its own budget (a throw from the progress call ends
    // only that phase); the test also on two threads.
    CountingTarget target;
    size_t blocks = 0;
    try {
        reader->Extract(all, target, Budget(blocks));
    } catch (const Failure&) {
    }
    try {
        if (!all.empty()) reader->Extract({all.back()}, target, Budget(blocks = 0));
    } catch (const Failure&) {
    }
    try {
        blocks = 0;
        reader->Test(Budget(blocks), 2);
    } catch (const Failure&) {
    }
    return 0;
}
