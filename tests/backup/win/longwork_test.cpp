// Long work and the main window: the progress window stays above it, the
// other commands wait, and closing the window during a backup stops the
// backup cleanly before the window goes.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/win/progress.h"
#include "app/win/temain.h"
#include "backup_fixture.h"
#include "interact/progress.h"
#include "support/scripted_responder.h"
#include "ui/win/application.h"
#include "util/failure.h"
#include "util/win/files.h"

namespace {

bool IsAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == upper) return true;
    return false;
}

TEST(LongWork, ProgressWindowStaysAboveTheMainWindow) {
    TeMain main;
    main.Show();
    ShowStatus(L"Kompresuję pliki...");
    ASSERT_NE(ProgressWindow(), nullptr);
    // The user clicks the main window: it comes up, and the next report puts
    // the progress window above it again without taking the keyboard.
    SetWindowPos(main.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(main.Handle());
    ASSERT_TRUE(IsAbove(main.Handle(), ProgressWindow()->Handle()));
    UpdateProgress(1, 10);
    EXPECT_TRUE(IsAbove(ProgressWindow()->Handle(), main.Handle()));
    EXPECT_EQ(GetActiveWindow(), main.Handle());
    FinishProgress();
}

TEST(LongWork, OtherCommandsWaitAndClosingCanBeRefused) {
    TeMain main;
    main.Show();
    ScriptedResponder script;
    script.Answer(2);  // "Nie": the work goes on
    bool second = false;
    main.RunCommand([&] {
        main.RunCommand([&] { second = true; });
        main.Close();
        EXPECT_TRUE(main.Visible());
    });
    EXPECT_FALSE(second);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline, L"Praca jeszcze trwa. Czy przerwać ją i zamknąć program?");
    App().ProcessMessages();
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(main.Working());
}

TEST(LongWork, ClosingDuringABackupStopsItWithoutAHalfWrittenArchive) {
    SampleFolder sample;
    const std::wstring archive = sample.work + L"przerwana.cab";
    TeMain main;
    main.Show();
    // Handled at the first report of progress, while the files are listed.
    PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
    ScriptedResponder script;
    script.Answer(sample.folder + L"\\").Answer(archive).Answer(1).Answer(L"");
    script.Answer(1);            // stop and close
    script.Answer(2).Answer(1);  // MSZIP
    std::wstring failure;
    try {
        main.tevClickableLabel3->Click();
    } catch (const Failure& f) {
        failure = f.message();
    }
    EXPECT_NE(failure.find(L"Przerwałeś tworzenie kopii zapasowej"), std::wstring::npos) << failure;
    EXPECT_FALSE(FileExists(archive));
    for (const auto& entry : std::filesystem::directory_iterator(sample.work))
        ADD_FAILURE() << "left behind: " << entry.path().wstring();
    EXPECT_TRUE(main.Visible());  // until the message has been seen
    App().ProcessMessages();
    EXPECT_FALSE(main.Visible());
    EXPECT_FALSE(StopRequested());
}

}  // namespace
