// Layout of list items in the program's typical formats: a backup with its
// path hidden and a link, and a restored file with two values joined by "|".
// Text is measured by a table of character widths, so the figure is the
// layout's own cost; GDI measuring comes on top on Windows.
//
// The resize benchmarks show what a list of ten thousand items does when its
// width changes (a scroll bar appears, the window is resized): laying every
// item out again, or keeping heights per width (ItemHeights), which lays out
// only the items wider than the list.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ui/kit/itemheights.h"
#include "ui/kit/markup_layout.h"

namespace {

class TableMeasurer : public MarkupMeasurer {
public:
    MarkupExtent MeasureText(const MarkupFont& font, std::wstring_view text) override {
        int width = 0;
        for (wchar_t c : text) width += c == L' ' ? 3 : (c < 128 ? 5 + (c % 3) : 7) + (font.bold ? 1 : 0);
        return {width, 13, 11};
    }
    MarkupSize PictureSize(std::wstring_view) override { return {16, 16}; }
};

std::vector<std::wstring> Items(int count = 1000) {
    std::vector<std::wstring> items;
    for (int i = 0; i < count; ++i) {
        std::wstring n = std::to_wstring(i);
        if (i % 2 == 0)
            items.push_back(L"10.12.2026 12:" + n + L"<br><b>Papirek, 2,5 MB</b><z>c:\\kopie zapasowe\\tevKopiaZapasowa_" + n +
                            L".tev</z> <a href=\"c:\\kopie zapasowe\\tevKopiaZapasowa_" + n + L".tev\">Odtwórz z tej kopii</a>");
        else
            items.push_back(L"<z>c:\\dane\\faktury" + n + L".dat|faktury.dat</z> <b>faktury" + n +
                            L".dat</b>  (12 kB) 10.12.2026 - plik w archiwum jest <b>nowszy</b><br>jako: "
                            L"<a href=\"c:\\dane\\faktury" + n + L".dat|faktury.dat\">faktury.dat</a>");
    }
    return items;
}

void BM_LayoutThousandItems(benchmark::State& state) {
    std::vector<std::wstring> items = Items();
    TableMeasurer measurer;
    MarkupFont font{L"Tahoma", 8};
    for (auto _ : state) {
        int height = 0;
        for (const std::wstring& item : items) height += LayoutMarkup(item, {0, 0, 400, 4096}, font, measurer).height + 4;
        benchmark::DoNotOptimize(height);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(items.size()));
}
BENCHMARK(BM_LayoutThousandItems)->Unit(benchmark::kMillisecond);

// The list's width cycles through twenty values from the argument on, so
// every resize meets a width not laid out just before. At 400 pixels every
// item fits on its lines; at 340 half of them wrap.
int NextWidth(const benchmark::State& state, int& step) { return static_cast<int>(state.range(0)) + (step++ % 20); }

void BM_ResizeTenThousandRelayoutAll(benchmark::State& state) {
    std::vector<std::wstring> items = Items(10000);
    TableMeasurer measurer;
    MarkupFont font{L"Tahoma", 8};
    int step = 0;
    for (auto _ : state) {
        int width = NextWidth(state, step);
        int height = 0;
        for (const std::wstring& item : items) height += LayoutMarkup(item, {0, 0, width, 4096}, font, measurer).height + 4;
        benchmark::DoNotOptimize(height);
    }
}
BENCHMARK(BM_ResizeTenThousandRelayoutAll)->Arg(400)->Arg(340)->Unit(benchmark::kMillisecond);

void BM_ResizeTenThousandKeptHeights(benchmark::State& state) {
    std::vector<std::wstring> items = Items(10000);
    TableMeasurer measurer;
    MarkupFont font{L"Tahoma", 8};
    ItemHeights::Layout layout = [&](int index, int width) {
        MarkupLayout l = LayoutMarkup(items[static_cast<size_t>(index)], {0, 0, width, 4096}, font, measurer);
        return ItemExtent{l.width, l.height};
    };
    ItemHeights heights;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) heights.Insert(i, layout(i, ItemHeights::kUnlimited));
    int step = 0;
    for (auto _ : state) {
        int width = NextWidth(state, step);
        int height = 0;
        for (int i = 0; i < static_cast<int>(items.size()); ++i) height += heights.HeightAt(i, width, layout) + 4;
        benchmark::DoNotOptimize(height);
    }
    int wrapping = 0;
    for (int i = 0; i < heights.Count(); ++i) wrapping += heights.Natural(i).width > state.range(0);
    state.counters["wrapping"] = wrapping;
}
BENCHMARK(BM_ResizeTenThousandKeptHeights)->Arg(400)->Arg(340)->Unit(benchmark::kMillisecond);

// Filling a list: each item laid out once without a limit, as a list adds it.
void BM_AddTenThousand(benchmark::State& state) {
    std::vector<std::wstring> items = Items(10000);
    TableMeasurer measurer;
    MarkupFont font{L"Tahoma", 8};
    for (auto _ : state) {
        ItemHeights heights;
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            MarkupLayout l = LayoutMarkup(items[static_cast<size_t>(i)], {0, 0, ItemHeights::kUnlimited, 4096}, font, measurer);
            heights.Insert(i, {l.width, l.height});
        }
        benchmark::DoNotOptimize(heights.Widest());
    }
}
BENCHMARK(BM_AddTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
