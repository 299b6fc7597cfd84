// Measured run (not part of the test suite), started by scripts/bench-program:
// a folder backed up from the main window and restored with the contents
// dialog, the way a user does it, with the modal seam answering. The
// progress window and the dialog are the program's own.
//   BENCH_FOLDER  the folder to back up (Windows path, no trailing backslash)
//   BENCH_ARCHIVE the archive to write
//   BENCH_METHOD  mszip, lzx or none
// The folder is renamed to "<folder> (oryginał)" before the restore, as if
// it had been lost: the dialog makes it again and restores everything into
// it. The caller compares the two folders. Prints a line
//   PROGRAM backup <s> <processor s> restore <s> <processor s> peak <MB> files <restored>
// and the restore's steps.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/win/temain.h"
#include "backup/win/infofile.h"
#include "backup_fixture.h"
#include "support/scripted_responder.h"
#include "support/win/measure.h"
#include "util/win/files.h"

namespace {

std::wstring Env(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

TEST(ProgramBench, FolderBackedUpAndRestoredThroughTheWindows) {
    const std::wstring folder = Env(L"BENCH_FOLDER"), archive = Env(L"BENCH_ARCHIVE"), method = Env(L"BENCH_METHOD");
    if (folder.empty() || archive.empty()) GTEST_SKIP() << "BENCH_FOLDER and BENCH_ARCHIVE name the work";
    std::vector<int> compression;  // "Mocna kompresja?", then "Kompresować w ogóle?"
    if (method == L"lzx") compression = {1};
    else if (method == L"none") compression = {2, 2};
    else compression = {2, 1};

    DeleteFileW(InfoFilePath().c_str());
    TeMain main;
    main.Show();

    ScriptedResponder backup;
    backup.Answer(folder + L"\\").Answer(archive).Answer(1).Answer(L"");
    for (int answer : compression) backup.Answer(answer);
    backup.Answer(1);
    auto start = Clock::now();
    double cpu = CpuSeconds();
    main.tevClickableLabel3->Click();
    const double backupSeconds = Seconds(start), backupCpu = CpuSeconds() - cpu;
    ASSERT_EQ(backup.shown.back().headline, L"Wykonałem kopię zapasową.");

    const std::wstring kept = folder + L" (oryginał)";
    ASSERT_TRUE(MoveFileW(folder.c_str(), kept.c_str()));

    // The folder is gone: "Tak" makes it again, the list is compared with
    // it (everything new), the second press restores everything.
    ScriptedResponder restore;
    restore.Answer(archive);
    int listed = 0;
    double shown = 0, made = 0, extracted = 0;
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        shown = Seconds(start);
        auto step = Clock::now();
        restore.Answer(1);
        Press(d.tevColorButton2);
        listed = d.lb->CheckedCount();
        made = Seconds(step);
        step = Clock::now();
        restore.Answer(1).Answer(1);
        Press(d.tevColorButton2);
        extracted = Seconds(step);
    });
    start = Clock::now();
    cpu = CpuSeconds();
    main.tevClickableLabel2->Click();
    const double restoreSeconds = Seconds(start), restoreCpu = CpuSeconds() - cpu;
    EXPECT_EQ(restore.shown.back().headline, L"Ilość wypakowanych plików: " + std::to_wstring(listed));

    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("PROGRAM backup %.2f %.2f restore %.2f %.2f peak %.0f files %d\n", backupSeconds, backupCpu,
                restoreSeconds, restoreCpu, memory.PeakWorkingSetSize / 1048576.0, listed);
    std::printf("restore: dialog shown %.2f s, folder made and listed again %.2f s, files extracted %.2f s\n", shown,
                made, extracted);
    DeleteFileW(InfoFilePath().c_str());
}

}  // namespace
