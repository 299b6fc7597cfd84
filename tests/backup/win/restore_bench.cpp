// Measured run (not part of the test suite): an archive of 10 000 files shown
// in the contents dialog, then 1 000 of them restored. Prints the times.
//   xvfb-run -a scripts/wine-exec bench_backup_win.exe
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "backup/win/infofile.h"
#include "backup/win/openbackup.h"
#include "backup_fixture.h"
#include "cabinet/cabfile.h"
#include "support/scripted_responder.h"
#include "support/win/measure.h"
#include "util/ini.h"
#include "util/textmarkup.h"
#include "util/win/files.h"

#include <filesystem>

namespace {

TEST(RestoreBench, TenThousandFilesListedThenAThousandRestored) {
    SampleFolder sample;
    const std::wstring folder = sample.root + L"dużo";
    const std::wstring archive = sample.work + L"duzo.cab";
    TCABFile cab;
    cab.CABFile = archive;
    for (int d = 0; d < 100; ++d) {
        const std::wstring dir = folder + L"\\katalog " + std::to_wstring(d);
        std::filesystem::create_directories(std::filesystem::path(dir));
        for (int f = 0; f < 100; ++f) {
            const std::wstring path = dir + L"\\plik " + std::to_wstring(f) + L".txt";
            WriteBytes(path, std::string(200 + (d * 100 + f) % 1800, static_cast<char>('a' + f % 26)) +
                                 std::to_string(d * 100 + f));
            auto& e = cab.CABFileContents.Add();
            e.Name = path;
            e.RelPath = L"katalog " + std::to_wstring(d);
        }
    }
    // The information file names the folder, as a backup of it would.
    DeleteFileW(InfoFilePath().c_str());
    IniWriteString(InfoFilePath(), L"duzo.cab", L"Dir", folder);
    auto& info = cab.CABFileContents.Add();
    info.Name = InfoFilePath();
    auto start = Clock::now();
    cab.Compress();
    std::printf("packed 10000 files (%d bytes) in %.2f s\n", cab.TotalSize, Seconds(start));

    if (getenv("BENCH_PARTS")) {
        TCABFile reader;
        reader.CABFile = archive;
        auto t = Clock::now();
        reader.ReadContents();
        std::printf("read the contents in %.2f s\n", Seconds(t));
        t = Clock::now();
        int64_t sum = 0;
        for (int i = 0; i < reader.CABFileContents.Count(); ++i) {
            const std::wstring target = folder + L"\\" + reader.CABFileContents.Items(i).Name;
            sum += FileSizeOf(target) + static_cast<int64_t>(FileDateOf(target));
        }
        std::printf("compared with the disk in %.2f s\n", Seconds(t));
        Form form;
        auto* list = form.Add<TtevHtmlCheckListBox>();
        list->Sorted = true;
        list->SetBounds(0, 0, 500, 400);
        t = Clock::now();
        SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < reader.CABFileContents.Count(); ++i) {
            const auto& e = reader.CABFileContents.Items(i);
            int at = list->Add(RestoreItemText(e.Name, L"", e.Name, e.Size, e.FileDate, L" <b>nowy plik</b>"));
            list->SetChecked(at, i % 2 == 0);
        }
        std::printf("listed in %.2f s\n", Seconds(t));
        t = Clock::now();
        reader.TargetPath = sample.work + L"wypakowane";
        for (int i = 0; i < 50; ++i) reader.ExtractFile(reader.CABFileContents.Items(i * 200).Name);
        std::printf("50 single extractions in %.2f s\n", Seconds(t));
    }

    ScriptedResponder script;
    script.Answer(1).Answer(1);
    Clock::time_point opened;
    double shown = 0, restored = 0, openedCpu = 0, shownCpu = 0, restoredCpu = 0;
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        shown = Seconds(opened);
        shownCpu = CpuSeconds() - openedCpu;
        ASSERT_EQ(d.lb->Count(), 10000);
        Press(d.bWyczysc);
        for (int i = 0; i < d.lb->Count(); i += 10) d.lb->SetChecked(i, true);
        d.cbNiePytajOZastapienie->SetChecked(true);
        auto t = Clock::now();
        const double cpu = CpuSeconds();
        Press(d.tevColorButton2);
        restored = Seconds(t);
        restoredCpu = CpuSeconds() - cpu;
    });
    opened = Clock::now();
    openedCpu = CpuSeconds();
    ShowBackup(archive);
    std::printf("contents dialog of 10000 files shown in %.2f s (processor %.2f s)\n", shown, shownCpu);
    std::printf("1000 checked files restored in %.2f s (processor %.2f s)\n", restored, restoredCpu);
    EXPECT_EQ(script.shown.back().headline, L"Ilość wypakowanych plików: 1000");
    DeleteFileW(InfoFilePath().c_str());
}

}  // namespace
