// Measured run (not part of the test suite): a 10 MB table loaded and saved
// through the file-level load and save (flush and replace included), and a
// full data set (every data table, 1 MB each) packed and opened. Prints wall
// and processor times and the peak working set.
//   scripts/wine-exec build/win/tests/store/bench_store_win.exe
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../../util/win/guards.h"
#include "store/tevlist.h"
#include "store/win/datafiles.h"
#include "store/win/datasets.h"
#include "store/win/datasettitle.h"
#include "store_fixture.h"
#include "support/scripted_responder.h"
#include "support/win/measure.h"
#include "util/tables.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace {

namespace fs = std::filesystem;

// Cards of about 250 bytes with varied Polish text.
void Fill(tTevList& list, size_t bytes) {
    const std::wstring text = L"Faktura za usługi księgowe, zażółć gęślą jaźń, ";
    for (int i = 0; static_cast<size_t>(i) * 250 < bytes; ++i) {
        std::wstring name;
        while (name.size() < 240) name += text + std::to_wstring(i * 7919 % 100003) + L" ";
        list.Add(std::make_unique<TKartka>(i, name.substr(0, 240)));
    }
}

TEST(StoreBench, TenMegabyteTableLoadedAndSaved) {
    RegisterTestTypes();
    InstallStoreHost();
    ScriptedResponder script;
    const fs::path dir = fs::temp_directory_path() / "archiwin-store-bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::wstring path = (dir / L"Faktury.dat").wstring();
    {
        tTevList list;
        list.SetLongForm(true);
        Fill(list, 10'000'000);
        std::ofstream(fs::path(path), std::ios::binary) << SaveListContent(list);
    }
    std::printf("file: %.1f MB\n", fs::file_size(path) / 1e6);
    tTevList list;
    list.SetLongForm(true);
    auto t = Clock::now();
    double cpu = CpuSeconds();
    ASSERT_TRUE(LoadListFromFile(list, path, false));
    std::printf("load: %.3f s wall, %.3f s cpu, %d items\n", Seconds(t), CpuSeconds() - cpu, list.LoadedCount());
    for (int round = 0; round < 3; ++round) {
        t = Clock::now();
        cpu = CpuSeconds();
        ASSERT_TRUE(SaveListToFile(list, path, round == 2)) << LastDataError();
        std::printf("save%s (write beside, flush, replace): %.3f s wall, %.3f s cpu\n",
                    round == 2 ? " with small copy" : "", Seconds(t), CpuSeconds() - cpu);
    }
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetBytes() / 1e6);
    fs::remove_all(dir);
}

TEST(StoreBench, FullDataSetPackedAndOpened) {
    RegisterTestTypes();
    InstallStoreHost();
    ScriptedResponder script;
    std::vector<std::unique_ptr<RegistryValueGuard>> guards;
    for (int t = 0; t < kTableCount; ++t)
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            guards.push_back(std::make_unique<RegistryValueGuard>(root, kTablePathsKey, Table(t).id));
    guards.push_back(
        std::make_unique<RegistryValueGuard>(HKEY_CURRENT_USER, SettingsKey(L"- Ścieżki"), L"Zestaw danych"));
    const fs::path dir = fs::temp_directory_path() / "archiwin-set-bench";
    fs::remove_all(dir);
    fs::create_directories(dir / L"dane");
    std::string content;
    {
        tTevList list;
        Fill(list, 1'000'000);
        content = SaveListContent(list);
    }
    int tables = 0;
    for (int t = 0; t < kTableCount; ++t) {
        const fs::path file = dir / L"dane" / Table(t).defaultFileName;
        StoreTablePath(t, file.wstring());
        SetCurrentTablePath(t, file.wstring());
        if (IsReferenceTable(t)) continue;
        std::ofstream(file, std::ios::binary) << content;
        ++tables;
    }
    std::vector<std::unique_ptr<tTevList>> lists;
    for (int t : {2, 5, 6}) {
        lists.push_back(std::make_unique<tTevList>());
        std::wstring p;
        lists.back()->CreateForTable(t, p);
    }
    ShowDataSetInTitle((dir / L"zestaw.tev").wstring());
    auto t = Clock::now();
    double cpu = CpuSeconds();
    ASSERT_TRUE(PackDataSet());
    std::printf("pack: %d tables of %.1f MB, 3 open lists saved: %.3f s wall, %.3f s cpu, set %.1f MB\n", tables,
                content.size() / 1e6, Seconds(t), CpuSeconds() - cpu, fs::file_size(dir / L"zestaw.tev") / 1e6);
    script.Answer(2);
    t = Clock::now();
    cpu = CpuSeconds();
    OpenDataSet((dir / L"zestaw.tev").wstring());
    std::printf("open: %.3f s wall, %.3f s cpu\n", Seconds(t), CpuSeconds() - cpu);
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetBytes() / 1e6);
    lists.clear();
    ShowDataSetInTitle(L"");
    for (int t2 = 0; t2 < kTableCount; ++t2) SetCurrentTablePath(t2, L"");
    fs::remove_all(dir);
}

}  // namespace
