// The progress window as a real window: created by the first status, hidden
// by its timer, the bar and the estimate of the time left on a faked clock,
// and the main window's title after a finish. progress.png shows it.
#include <gtest/gtest.h>

#include "store/win/datasettitle.h"
#include "app/win/progress.h"
#include "interact/progress.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "ui/win/application.h"
#include "ui/win/timer.h"
#include "util/textfile.h"

namespace {

// Handles messages for a while, as a user's window would.
void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        App().ProcessMessages();
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

constexpr DateTimeValue kMinute = 1.0 / 1440;

}  // namespace

// Runs first: nothing has made the window yet.
TEST(Progress, ProgressBeforeAnyStatusDoesNothing) {
    ASSERT_EQ(ProgressWindow(), nullptr);
    ShowProgress(1, 10);
    UpdateProgress(5, 10);
    FinishProgress();
    EXPECT_EQ(ProgressWindow(), nullptr);
}

TEST(Progress, StatusShowsTheWindowUntilTheTimerHidesIt) {
    App().SetTitle(L"Archiwin");
    ShowStatus(L"Szukam *.tev...|w C:\\dane");
    TeDm_Splash* w = ProgressWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(w->lbCo->Caption(), L"Szukam *.tev...|w C:\\dane ");
    EXPECT_FALSE(w->ProgressBar1->Visible());
    EXPECT_EQ(w->Timer1.Interval(), 500u);
    PumpFor(200);
    EXPECT_TRUE(w->Visible());
    PumpFor(600);
    EXPECT_FALSE(w->Visible());
}

// Reports are shown a few times a second: waits until the next one is.
static void ShowLater() { Sleep(static_cast<DWORD>(TeDm_Splash::kPaintIntervalMs) + 20); }

TEST(Progress, BarAndEstimateFollowTheClock) {
    ScriptedResponder clock;
    const DateTimeValue start = clock.now;
    ShowStatus(L"Kompresuję pliki...");
    TeDm_Splash* w = ProgressWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->startTime, start);

    // The first steps: the bar, no estimate yet.
    clock.now = start + kMinute;
    UpdateProgress(3, 100);
    EXPECT_TRUE(w->ProgressBar1->Visible());
    EXPECT_EQ(w->ProgressBar1->Position(), 3);
    EXPECT_FALSE(w->lbIleJeszcze->Visible());
    EXPECT_FALSE(w->Timer1.Enabled()) << "progress keeps the window";

    // A quarter in a minute: three more minutes.
    ShowLater();
    UpdateProgress(25, 100);
    EXPECT_TRUE(w->lbIleJeszcze->Visible());
    EXPECT_EQ(w->lbIleJeszcze->Text(), L"jeszcze ok. 3 min. 0 sek.");
    clock.now = start + 2 * kMinute;
    ShowLater();
    UpdateProgress(50, 100);
    EXPECT_EQ(w->lbIleJeszcze->Text(), L"jeszcze ok. 2 min. 0 sek.");
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"progress.png")));

    // From 90 % on the last estimate stays.
    clock.now = start + 3 * kMinute;
    ShowLater();
    UpdateProgress(95, 100);
    EXPECT_EQ(w->ProgressBar1->Position(), 95);
    EXPECT_EQ(w->lbIleJeszcze->Text(), L"jeszcze ok. 2 min. 0 sek.");

    // Past midnight no estimate is made.
    ShowStatus(L"Kompresuję pliki...");
    clock.now = start + 0.6;
    UpdateProgress(10, 100);
    EXPECT_EQ(w->lbIleJeszcze->Text(), L"jeszcze ok. 2 min. 0 sek.");

    // ShowProgress on a hidden window brings it back with "..." and
    // remembers the position.
    FinishProgress();
    PumpFor(100);
    EXPECT_FALSE(w->Visible());
    EXPECT_FALSE(w->ProgressBar1->Visible());
    ShowProgress(7, 20);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(w->lbCo->Caption(), L"...");
    EXPECT_EQ(w->lastPosition, 7);
    EXPECT_TRUE(w->lbIleJeszcze->Visible()) << "the estimate stays until a new one";
    FinishProgress();
    PumpFor(100);
    EXPECT_FALSE(w->Visible());
}

TEST(Progress, FinishHidesSoonAfterAndShowsTheDataSetInTheTitle) {
    App().SetTitle(L"Archiwin");
    Form main(BorderStyle::None);
    App().SetMainForm(&main);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring set = std::wstring(dir) + L"Zestaw firmy Ącki.tev";
    ASSERT_TRUE(AppendLine(set, L"dane"));

    EXPECT_TRUE(ShowDataSetInTitle(set));
    EXPECT_EQ(main.Text(), L"Archiwin    [Zestaw firmy Ącki.tev]");
    ShowStatus(L"Zapisuję bazę danych");
    DeleteFileW(set.c_str());
    FinishProgress();
    EXPECT_EQ(main.Text(), L"Archiwin");
    EXPECT_EQ(CurrentDataSet(), set);
    TeDm_Splash* w = ProgressWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Timer1.Interval(), 10u);
    PumpFor(100);
    EXPECT_FALSE(w->Visible());

    // The short interval stays for the rest of the run.
    ShowStatus(L"Odczytuję zawartość|C:\\kopia.cab");
    PumpFor(100);
    EXPECT_FALSE(w->Visible());
    App().SetMainForm(nullptr);
}

// A long step reporting every data block: the window is painted a few times a
// second, the program's other windows still get their messages, and the
// last report is what stays shown.
TEST(Progress, ManyQuickReportsKeepTheLoopRunningAndEndOnTheLastOne) {
    ShowStatus(L"Kompresuję pliki...");
    TeDm_Splash* w = ProgressWindow();
    ASSERT_NE(w, nullptr);
    int ticks = 0;
    Timer other(20, true);
    other.OnTimer = [&] { ++ticks; };
    const ULONGLONG end = GetTickCount64() + 500;
    std::int64_t pos = 0;
    // Whether the bar stayed behind a report at least once. (The last report
    // alone says nothing: on a busy machine the loop may be held up just
    // before it, and then that report is the one painted.)
    bool lagged = false;
    while (GetTickCount64() < end) {
        UpdateProgress(++pos, 1'000'000'000);
        if (w->ProgressBar1->Position() < pos) lagged = true;
    }
    EXPECT_GE(ticks, 2) << "the message loop ran while the work went on";
    EXPECT_NE(w->lastPaintTick, 0u);
    EXPECT_TRUE(lagged) << "the bar follows a few times a second, not every report";
    UpdateProgress(1'000'000'000, 1'000'000'000);
    EXPECT_EQ(w->ProgressBar1->Position(), 1'000'000'000);
    FinishProgress();
    PumpFor(100);
}
