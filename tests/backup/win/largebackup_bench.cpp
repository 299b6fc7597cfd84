// Measured run (not part of the test suite): a large backup of an office's
// data files (the 44 tables, a few hundred MB made up here), the restore of
// every file of it, the start with an offline backup directory, pruning of
// 1 000 old backups and the restore tab listing 1 000 backups. Prints the
// figures.
//   xvfb-run -a scripts/wine-sealed build/win/tests/backup/bench_largebackup_win.exe
// BENCH_MB sets the size of the data in MB (default 300).
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/win/dialog_driver.h"
#include "app/win/startup.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "backup_fixture.h"
#include "largebackup_fixture.h"
#include "support/scripted_responder.h"
#include "util/tables.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

double CpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto value = [](FILETIME t) { return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
    return value(kernel) + value(user);
}

double PeakMB() {
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1048576.0;
}

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

class LargeBackupBench : public ::testing::Test {
protected:
    void SetUp() override {
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
        world.PlantTable(t, OfficeData(size, static_cast<unsigned>(t)));
        planted += static_cast<int64_t>(size);
    }
    const double peakBefore = PeakMB();
    auto start = Clock::now();
    double cpu = CpuSeconds();
    ASSERT_TRUE(MakeLargeBackup(L"pomiar", L"", false, false, false, true));
    const double seconds = Seconds(start);
    cpu = CpuSeconds() - cpu;
    const int64_t archive = FileSizeOf(LastLargeBackup());
    std::printf("backup: 44 tables, %.1f MB -> %.1f MB in %.2f s (%.1f MB/s, processor %.2f s); "
                "peak working set %.1f MB (before %.1f MB)\n",
                planted / 1e6, archive / 1e6, seconds, planted / 1e6 / seconds, cpu, PeakMB(), peakBefore);

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
    std::printf("restore: dialog shown in %.2f s; 44 files, %.1f MB restored in %.2f s (%.1f MB/s, processor %.2f s "
                "in all); peak working set %.1f MB\n",
                listed, planted / 1e6, restored, planted / 1e6 / restored, CpuSeconds() - cpu, PeakMB());
}

TEST_F(LargeBackupBench, StartWithAnOfflineBackupDirectory) {
    // An address that answers nothing.
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", L"\\\\10.255.255.1\\kopie\\");
    auto start = Clock::now();
    LoadBackupSettings();
    std::printf("start: backup settings loaded in %.3f s (the location is not tested at start)\n", Seconds(start));
    start = Clock::now();
    const BackupLocation first = LocateBackupDirectory();
    const double firstSeconds = Seconds(start);
    start = Clock::now();
    LocateBackupDirectory();
    std::printf("offline location: first test %.3f s (fallback %d), again %.3f s\n", firstSeconds, first.fallback,
                Seconds(start));
    start = Clock::now();
    WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
        std::printf("options dialog shown in %.3f s\n", Seconds(start));
        d.SetModalResult(mrOk);
    });
    ShowBackupOptions();
}

TEST_F(LargeBackupBench, PruningAThousandOldBackupsAndListingAThousand) {
    world.PlantTable(5, "faktury");
    for (int i = 0; i < 1000; ++i) {
        wchar_t name[64];
        std::swprintf(name, 64, L"tevKopiaZapasowa_2025%02d%02d_%06d.tev", 1 + i % 12, 1 + i % 28, i);
        const std::wstring path = world.backups + name;
        WriteBytes(path, std::string(2000, 'k'));
        SetLocalWriteTime(path, 45700.0 + i % 300);
    }
    auto start = Clock::now();
    WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
        auto t = Clock::now();
        d.pc->SetTabIndex(2);
        std::printf("restore tab: %d backups listed in %.3f s\n", d.lbKopieZapasowe->Count(), Seconds(t));
        d.SetModalResult(mrOk);
    });
    ShowBackupOptions();
    (void)start;

    CurrentBackupSettings().SciezkaKopiiZapasowych = world.backups;
    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;
    script.Answer(1);
    start = Clock::now();
    double cpu = CpuSeconds();
    PruneLargeBackups();
    std::printf("pruning: %zu files left of 1000, in %.3f s (processor %.3f s)\n", FileNames(world.backups).size(),
                Seconds(start), CpuSeconds() - cpu);
}

}  // namespace
