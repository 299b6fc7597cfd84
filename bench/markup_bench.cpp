// Layout of a thousand list items in the program's typical formats: a backup
// with its path hidden and a link, and a restored file with two values joined
// by "|". Text is measured by a table of character widths, so the figure is
// the layout's own cost; GDI measuring comes on top on Windows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ui/markup_layout.h"

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

std::vector<std::wstring> Items() {
    std::vector<std::wstring> items;
    for (int i = 0; i < 1000; ++i) {
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

}  // namespace

BENCHMARK_MAIN();
