// Measured run (not part of the test suite): a large backup of an office's
// data files (the 44 tables, a few hundred MB made up here), the restore of
// every file of it, the start with an offline backup directory, pruning of
// 1 000 old backups and the restore tab listing 1 000 backups. Prints the
// figures.
//   xvfb-run -a scripts/wine-sealed build/win/tests/backup/bench_largebackup_win.exe
// BENCH_MB sets the size of the data in MB (default 300). BENCH_OFFLINE names
// a backup location that does not answer; scripts/with-hanging-folder makes
// one (under Wine an unknown network path answers at once), all on one line:
//   xvfb-run -a scripts/with-hanging-folder build/wineprefix-sealed/dosdevices/unc/serwer
//     env BENCH_OFFLINE='\\serwer\kopie\' scripts/wine-sealed
//     build/win/tests/backup/bench_largebackup_win.exe --gtest_filter='*Offline*'
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/win/dialog_driver.h"
#include "app/win/startup.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "backup_fixture.h"
#include "cabinet/cabfile.h"
#include "largebackup_fixture.h"
#include "support/scripted_responder.h"
#include "support/win/measure.h"
#include "util/tables.h"
#include "util/win/files.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace {

// Records of an office table: numbers, names and amounts that repeat as
// real invoices and contractors do, compressing to about a third.
std::string OfficeData(size_t size, unsigned seed) {
    static const char* const kWords[] = {"Kowalski", "Nowak", "Wiśniewski", "sp. z o.o.", "ul. Długa", "Kraków",
                                         "Warszawa", "usługa", "towar", "netto", "brutto", "VAT 23%", "faktura",
                                         "zapłacono", "przelew", "gotówka", "Gdańsk", "Łódź", "kg", "szt."};
    std::string out;
    out.reserve(size + 64);
    uint32_t x = 2463534242u ^ (seed * 2654435761u);
    auto next = [&] {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        return x;
    };
    char number[32];
    while (out.size() < size) {
        std::snprintf(number, sizeof number, "%08u;%u,%02u;", next() % 100000000, next() % 100000, next() % 100);
        out += number;
        for (int w = 0; w < 4; ++w) {
            out += kWords[next() % 20];
            out += ';';
        }
        out += "\r\n";
    }
    out.resize(size);
    return out;
}

// Writes a table's file in pieces, so the data made up here never sits
// whole in memory (the peak working set is the backup's), and registers it.
void PlantOfficeTable(LargeBackupWorld& world, int table, size_t size) {
    const std::wstring path = world.data + Table(table).defaultFileName;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    constexpr size_t kPiece = 4 << 20;
    for (size_t done = 0, piece = 0; done < size; done += kPiece, ++piece) {
        const std::string bytes = OfficeData(std::min(kPiece, size - done), table * 1000u + piece);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    CloseHandle(file);
    StoreTablePath(table, path);
}

class LargeBackupBench : public ::testing::Test {
protected:
    void SetUp() override {
        // Each figure as soon as it is known, also when a run is cut short.
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        InstallExceptionHandler();
        script.now = 46366.5;
    }
    LargeBackupWorld world;
    ScriptedResponder script;
};

TEST_F(LargeBackupBench, OfficeBackupThenRestoreOfEveryFile) {
    const char* mb = std::getenv("BENCH_MB");
    const size_t total = static_cast<size_t>(mb ? std::atoi(mb) : 300) << 20;
    // A few big tables (invoices, goods, contractors), many small ones.
    int64_t planted = 0;
    for (int t = 0; t < kTableCount; ++t) {
        size_t size = t == 5 ? total * 4 / 10 : t == 6 ? total / 5 : t == 2 ? total / 10 : total * 3 / 10 / 41;
        PlantOfficeTable(world, t, size);
        planted += static_cast<int64_t>(size);
    }
    const double peakBefore = PeakWorkingSetBytes() / 1048576.0;
    auto start = Clock::now();
    double cpu = CpuSeconds();
    ASSERT_TRUE(MakeLargeBackup(L"pomiar", L"", false, false, false, true));
    const double seconds = Seconds(start);
    cpu = CpuSeconds() - cpu;
    const int64_t archive = FileSizeOf(LastLargeBackup());
    std::printf("backup: 44 tables, %.1f MB -> %.1f MB in %.2f s (%.1f MB/s, processor %.2f s); "
                "peak working set %.1f MB (before %.1f MB)\n",
                planted / 1e6, archive / 1e6, seconds, planted / 1e6 / seconds, cpu,
                PeakWorkingSetBytes() / 1048576.0, peakBefore);

    // The engine alone: every entry by its position into a scratch folder.
    {
        TCABFile cab;
        cab.CABFile = LastLargeBackup();
        cab.ReadContents();
        const std::wstring scratch = world.root + L"wypakowane\\";
        CreateDirectoryW(scratch.c_str(), nullptr);
        start = Clock::now();
        cpu = CpuSeconds();
        for (int i = 0; i < cab.CABFileContents.Count(); ++i)
            ASSERT_TRUE(cab.ExtractEntryAs(i, scratch + std::to_wstring(i) + L".tmp")) << cab.LastError;
        const double s = Seconds(start);
        std::printf("extraction alone: %.1f MB in %.2f s (%.1f MB/s, processor %.2f s)\n", planted / 1e6, s,
                    planted / 1e6 / s, CpuSeconds() - cpu);
        RemoveTree(scratch);
    }

    // Every file back over the current ones: the notice, then for each file
    // its confirmation and success, then the count.
    for (int i = 0; i < 1 + 2 * kTableCount + 1; ++i) script.Answer(1);
    LargeBackupWorld::ForgetResolvedTables();
    double listed = 0, restored = 0;
    WhenShown<TeTevCabRozpakuj> when([&](TeTevCabRozpakuj& d) {
        listed = Seconds(start);
        for (int i = 0; i < d.lbPliki->Count(); ++i) d.lbPliki->SetChecked(i, true);
        auto t = Clock::now();
        d.bOdtworzClick(d.bOdtworz);
        restored = Seconds(t);
    });
    start = Clock::now();
    cpu = CpuSeconds();
    ASSERT_TRUE(RestoreFromLargeBackup(LastLargeBackup()));
    std::printf("restore: dialog shown in %.2f s (the timer looks every 30 ms); 44 files, %.1f MB restored in "
                "%.2f s (%.1f MB/s, processor %.2f s in all); peak working set %.1f MB\n",
                listed, planted / 1e6, restored, planted / 1e6 / restored, CpuSeconds() - cpu,
                PeakWorkingSetBytes() / 1048576.0);
}

// The program started with "/kopiezapasowe" up to its dialog on screen.
double StartToOptionsDialog(double* restoreTab = nullptr) {
    const auto start = Clock::now();
    double shown = -1;
    WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
        shown = Seconds(start);
        if (restoreTab) {
            const auto t = Clock::now();
            d.pc->SetTabIndex(2);
            *restoreTab = Seconds(t);
        }
        d.SetModalResult(mrOk);
    });
    RunArchiwin(L"archiwin.exe /kopiezapasowe");
    return shown;
}

TEST_F(LargeBackupBench, StartWithAnOfflineBackupDirectory) {
    const wchar_t* offline = _wgetenv(L"BENCH_OFFLINE");
    // Without a folder that hangs: an address that answers nothing (which
    // Wine answers at once).
    const std::wstring location = offline ? std::wstring(offline) : L"\\\\10.255.255.1\\kopie\\";
    std::printf("offline location: %ls\n", location.c_str());

    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", world.backups);
    double tab = 0;
    double shown = StartToOptionsDialog(&tab);
    std::printf("reachable location: start to the options dialog %.3f s, restore tab %.3f s\n", shown, tab);

    // Started with the switch, the dialog comes at once and waits for the
    // location's test; a second look knows it hangs.
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", location);
    shown = StartToOptionsDialog(&tab);
    std::printf("offline location: start with the switch to the options dialog %.3f s, restore tab %.3f s\n",
                shown, tab);
    shown = StartToOptionsDialog(&tab);
    std::printf("offline location, again: start with the switch to the options dialog %.3f s, restore tab "
                "%.3f s\n",
                shown, tab);

    // The usual way: the program starts (the settings loaded) and the user
    // opens the dialog from the menu some seconds later. Another folder of
    // the same offline place, so that its test is a new one.
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", location + L"inne\\");
    auto start = Clock::now();
    LoadBackupSettings();
    std::printf("offline location: backup settings loaded at start in %.3f s\n", Seconds(start));
    Sleep(3000);
    start = Clock::now();
    WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
        shown = Seconds(start);
        d.SetModalResult(mrOk);
    });
    ShowBackupOptions();
    std::printf("offline location: the options dialog opened 3 s after the start, on screen in %.3f s\n", shown);
}

TEST_F(LargeBackupBench, PruningAThousandOldBackupsAndListingAThousand) {
    world.PlantTable(5, "faktury");
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", world.backups);
    for (int i = 0; i < 1000; ++i) {
        wchar_t name[64];
        std::swprintf(name, 64, L"tevKopiaZapasowa_2025%02d%02d_%06d.tev", 1 + i % 12, 1 + i % 28, i);
        const std::wstring path = world.backups + name;
        WriteBytes(path, std::string(2000, 'k'));
        SetLocalWriteTime(path, 45700.0 + i % 300);
    }
    WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
        auto t = Clock::now();
        d.pc->SetTabIndex(2);
        const double first = Seconds(t);
        d.pc->SetTabIndex(0);
        t = Clock::now();
        d.pc->SetTabIndex(2);
        std::printf("restore tab: %d backups listed in %.3f s, again %.3f s\n", d.lbKopieZapasowe->Count(), first,
                    Seconds(t));
        d.SetModalResult(mrOk);
    });
    ShowBackupOptions();

    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;
    script.Answer(1);
    auto start = Clock::now();
    double cpu = CpuSeconds();
    PruneLargeBackups();
    std::printf("pruning: %zu files left of 1000, in %.3f s (processor %.3f s)\n", FileNames(world.backups).size(),
                Seconds(start), CpuSeconds() - cpu);
}

}  // namespace
