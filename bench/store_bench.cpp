// Loading and saving a data file of 100 000 invoice-like objects (about
// 30 MB) through the typed stream, and what a hostile file costs. Besides the
// time, each case reports heap figures from a counting allocator:
//   heap_peak_MB  the most heap held at once during one iteration, above what
//                 was held when it began (the file's bytes are held before);
//   list_MB       the heap the loaded list keeps (after the load).
// The format is the sibling programs': only the reader and writer can be
// made faster, never the bytes.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "store/tevlist.h"
#include "store/tevstream.h"
#include "store/typeregistry.h"

namespace {

std::atomic<long long> heapNow{0};
std::atomic<long long> heapPeak{0};

void Track(long long delta) {
    const long long now = heapNow.fetch_add(delta) + delta;
    long long peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    Track(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    Track(-static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

// An invoice as the office programs might keep it: numbers, dates, amounts
// in ten-thousandths of a złoty, and texts with Polish letters.
class TBenchFaktura : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    TBenchFaktura() = default;
    explicit TBenchFaktura(int i)
        : number_(i), date_(45000.0 + i % 3650), paid_(i % 3 == 0),
          buyer_(L"Przedsiębiorstwo Handlowo-Usługowe „Żółw” nr " + std::to_wstring(i)),
          address_(L"ul. Świętokrzyska " + std::to_wstring(i % 200) + L", 00-" + std::to_wstring(100 + i % 900) +
                   L" Łódź"),
          nip_(L"527-" + std::to_wstring(100 + i % 900) + L"-45-67"),
          items_(L"Usługa księgowa za miesiąc, rozliczenie VAT, deklaracje PIT-4R i CIT-8, "
                 L"obsługa kadrowo-płacowa pracowników; pozycja " +
                 std::to_wstring(i)),
          note_(i % 4 == 0 ? L"" : L"Zapłacono przelewem") {
        for (int k = 0; k < 4; ++k) amounts_[k] = (static_cast<long long>(i) * 12345 + k) * 100;
    }

    void Load(tTevStream& s) override {
        number_ = s.ReadInt32();
        date_ = s.ReadDouble();
        paid_ = s.ReadBool();
        buyer_ = s.ReadString();
        address_ = s.ReadString();
        nip_ = s.ReadString();
        items_ = s.ReadString();
        note_ = s.ReadString();
        for (auto& a : amounts_) a = s.ReadInt64();
    }
    void Store(tTevStream& s) const override {
        s.WriteInt32(number_);
        s.WriteDouble(date_);
        s.WriteBool(paid_);
        s.WriteString(buyer_);
        s.WriteString(address_);
        s.WriteString(nip_);
        s.WriteString(items_);
        s.WriteString(note_);
        for (auto a : amounts_) s.WriteInt64(a);
    }

private:
    std::int32_t number_ = 0;
    double date_ = 0;
    bool paid_ = false;
    std::wstring buyer_, address_, nip_, items_, note_;
    long long amounts_[4] = {};
};

const TevClass TBenchFaktura::kClass{L"TBenchFaktura", CreateBlankOf<TBenchFaktura>};

constexpr int kItems = 100000;

void Register() {
    static const bool done = (RegisterType(TBenchFaktura::kClass, 9101), true);
    (void)done;
}

std::unique_ptr<tTevList> BuildList() {
    auto list = std::make_unique<tTevList>();
    list->SetLongForm(true);
    for (int i = 0; i < kItems; ++i) list->Add(std::make_unique<TBenchFaktura>(i));
    return list;
}

const std::string& File() {
    static const std::string file = [] {
        Register();
        return SaveListContent(*BuildList());
    }();
    return file;
}

void Report(benchmark::State& state, long long peakAbove, long long kept, size_t bytes) {
    state.counters["heap_peak_MB"] = static_cast<double>(peakAbove) / (1 << 20);
    if (kept >= 0) state.counters["list_MB"] = static_cast<double>(kept) / (1 << 20);
    state.counters["file_MB"] = static_cast<double>(bytes) / (1 << 20);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// A list saved after it was loaded: it knows its file's size.
void BM_Save100k(benchmark::State& state) {
    Register();
    auto list = BuildList();
    list->SetFileState(static_cast<std::int32_t>(File().size()), 45000.5);
    size_t bytes = 0;
    long long peak = 0;
    for (auto _ : state) {
        const long long before = heapNow.load();
        heapPeak.store(before);
        std::string file = SaveListContent(*list);
        bytes = file.size();
        peak = std::max(peak, heapPeak.load() - before);
        benchmark::DoNotOptimize(file.data());
    }
    Report(state, peak, -1, bytes);
}
BENCHMARK(BM_Save100k)->Unit(benchmark::kMillisecond);

// A new list, never loaded: the buffer grows as it is written.
void BM_SaveNew100k(benchmark::State& state) {
    Register();
    auto list = BuildList();
    size_t bytes = 0;
    long long peak = 0;
    for (auto _ : state) {
        const long long before = heapNow.load();
        heapPeak.store(before);
        std::string file = SaveListContent(*list);
        bytes = file.size();
        peak = std::max(peak, heapPeak.load() - before);
        benchmark::DoNotOptimize(file.data());
    }
    Report(state, peak, -1, bytes);
}
BENCHMARK(BM_SaveNew100k)->Unit(benchmark::kMillisecond);

void BM_Load100k(benchmark::State& state) {
    const std::string& file = File();
    long long peak = 0, kept = 0;
    for (auto _ : state) {
        const long long before = heapNow.load();
        heapPeak.store(before);
        tTevList list;
        list.SetLongForm(true);
        tTevStream stream(file);  // the file as read from the disk
        LoadListContent(list, stream);
        kept = heapNow.load() - before - static_cast<long long>(stream.Size());
        peak = std::max(peak, heapPeak.load() - before);
        benchmark::DoNotOptimize(list.LoadedCount());
    }
    Report(state, peak, kept, file.size());
}
BENCHMARK(BM_Load100k)->Unit(benchmark::kMillisecond);

// Hostile files of the same size: the worst that valid-looking bytes can
// cost (the smallest objects, two bytes each), and a header announcing
// 2^31 - 1 items over the same bytes, which must fail at once.
void Hostile(benchmark::State& state, const std::string& file, bool longForm) {
    long long peak = 0;
    for (auto _ : state) {
        const long long before = heapNow.load();
        heapPeak.store(before);
        {
            tTevList list;
            list.SetLongForm(longForm);
            tTevStream stream(file);
            try {
                LoadListContent(list, stream);
            } catch (const EtevException&) {
            }
        }
        peak = std::max(peak, heapPeak.load() - before);
    }
    Report(state, peak, -1, file.size());
}

void BM_HostileTinyObjects(benchmark::State& state) {
    const size_t count = File().size() / 2;
    std::string file = std::string("\xFF\xFF\xFF\x7F\0\0\0\0\0\0\0\0", 12);
    file[0] = static_cast<char>(count & 0xFF);
    file[1] = static_cast<char>(count >> 8 & 0xFF);
    file[2] = static_cast<char>(count >> 16 & 0xFF);
    file[3] = static_cast<char>(count >> 24 & 0xFF);
    for (size_t i = 0; i < count; ++i) file += std::string("\x65\x00", 2);
    Hostile(state, file, true);
}
BENCHMARK(BM_HostileTinyObjects)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HostileCount(benchmark::State& state) {
    std::string file = File();
    file.replace(0, 4, "\xFF\xFF\xFF\x7F", 4);
    Hostile(state, file, true);
}
BENCHMARK(BM_HostileCount)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
