// The interaction layer reaches the program only through the side the
// program registers: its windows, its progress window, its title and its
// remembered answers.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/programside.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "support/scripted_responder.h"
#include "util/failure.h"

namespace {

class RecordingDisplay : public ProgressDisplay {
public:
    void ShowStatus(const std::wstring& text) override { calls.push_back(L"status " + text); }
    void ShowProgress(std::int64_t position, std::int64_t count) override {
        calls.push_back(L"progress " + std::to_wstring(position) + L"/" + std::to_wstring(count));
    }
    void UpdateProgress(std::int64_t pos, std::int64_t tot) override {
        calls.push_back(L"update " + std::to_wstring(pos) + L"/" + std::to_wstring(tot));
    }
    void FinishProgress() override { calls.push_back(L"finish"); }
    std::vector<std::wstring> calls;
};

class TestSide : public ProgramSide {
public:
    TestSide() : previous_(SetProgramSide(this)) {}
    ~TestSide() override { SetProgramSide(previous_); }

    ModalResponder& Windows() override { return windows; }
    ProgressDisplay& Progress() override { return display; }
    std::wstring Title() override { return L"Archiwin"; }
    bool Remembered(const std::wstring& key) override { return key == L"zapamiętany"; }
    void FailureRaised() override { ++failuresRaised; }

    ScriptedResponder windows;  // the program's windows stand-in
    RecordingDisplay display;
    int failuresRaised = 0;

private:
    ProgramSide* previous_;
};

}  // namespace

TEST(ProgramSide, WithoutOneModalCallsFailAndProgressGoesNowhere) {
    ProgramSide* previous = SetProgramSide(nullptr);
    EXPECT_THROW(Modal(), Failure);
    EXPECT_THROW(Ask(L"Czy na pewno?"), Failure);
    ShowStatus(L"Pracuję");
    ShowProgress(1, 2);
    UpdateProgress(nullptr, 1, 2);
    FinishProgress();
    SetProgramSide(previous);
}

TEST(ProgramSide, QuestionsCarryItsTitleAndReachItsWindowsWhenNoResponderIsInstalled) {
    TestSide side;
    // The side's ScriptedResponder installed itself; put the program's own
    // windows back in force.
    ModalResponder* installed = SetModalResponder(nullptr);
    side.windows.Answer(2);
    EXPECT_FALSE(Ask(L"Czy przenieść plik?\r\n  do archiwum  "));
    ASSERT_EQ(side.windows.shown.size(), 1u);
    EXPECT_EQ(side.windows.shown[0].caption, L"Archiwin");
    EXPECT_EQ(side.windows.shown[0].headline, L"Czy przenieść plik?");
    EXPECT_EQ(side.windows.shown[0].body, L"do archiwum");
    SetModalResponder(installed);
}

TEST(ProgramSide, RememberedAnswersSkipTheDialogOnlyWhenTheyAreOffered) {
    TestSide side;
    ScriptedResponder script;
    script.Answer(2).Answer(2);
    EXPECT_TRUE(AskRemembered(L"Czy przenieść plik?", L"zapamiętany", true));
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(CurrentDialogKey(), L"zapamiętany");
    EXPECT_FALSE(AskRemembered(L"Czy przenieść plik?", L"zapamiętany", false));
    EXPECT_FALSE(AskRemembered(L"Czy przenieść plik?", L"inny", true));
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_FALSE(script.shown[0].message.offerDontShowAgain);
    EXPECT_EQ(script.shown[1].message.key, L"inny");
}

TEST(ProgramSide, NothingButThePressAnswersADestructiveQuestionYes) {
    TestSide side;
    ScriptedResponder script;
    // Nobody answers: a plain question goes on as "OK", a destructive one
    // keeps the data, through every call that can ask one.
    script.Unanswered().Unanswered().Unanswered().Unanswered();
    EXPECT_TRUE(Ask(L"Mocna kompresja?"));
    EXPECT_FALSE(Ask(L"Czy na pewno zastąpić plik C:\\a.txt?", Question::Destructive));
    EXPECT_FALSE(AskHeadline(L"Czy usunąć folder?", L"C:\\dane", Question::Destructive));
    EXPECT_FALSE(AskWithInfo(L"Czy nadpisać bazę?", L"", L"informacja", Question::Destructive));
    ASSERT_EQ(script.shown.size(), 4u);
    EXPECT_FALSE(script.shown[0].message.destructive);
    for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(script.shown[i].message.destructive) << i;

    // Not to be shown (timeout 0): "OK" for a plain one, the keeping answer
    // for a destructive one.
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy usunąć?", L"", 0, false, L"-", L""), 1);
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy usunąć?", L"", 0, false, L"-", L"", Question::Destructive), 2);

    // A remembered answer never answers one: it is shown, without the offer.
    script.Answer(1);
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy usunąć?", L"", 122, true, L"zapamiętany", L"",
                            Question::Destructive), 1);
    ASSERT_EQ(script.shown.size(), 5u);
    EXPECT_FALSE(script.shown[4].message.offerDontShowAgain);
    EXPECT_EQ(CurrentDialogKey(), L"-");
    // The user's own "Tak" still answers it.
    script.Answer(1);
    EXPECT_TRUE(Ask(L"Czy na pewno zastąpić plik C:\\a.txt?", Question::Destructive));
}

TEST(ProgramSide, RaisedErrorsTellItFirst) {
    TestSide side;
    ScriptedResponder script;
    try {
        RaiseError(L"Folder nie istnieje!");
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"%Folder nie istnieje!");
    }
    EXPECT_EQ(side.failuresRaised, 1);
    // A cancelled save choice raises through the same path.
    script.Cancel();
    EXPECT_THROW(ChooseSaveFile(L"Kopia zapasowa", L"C:\\kopia.cab", L"Kopie zapasowe|*.cab"), Failure);
    EXPECT_EQ(side.failuresRaised, 2);
}

TEST(ProgramSide, ProgressReachesItsDisplayAndAScopeFinishesOnFailure) {
    TestSide side;
    try {
        ProgressScope scope;
        ShowStatus(L"Kompresuję pliki...");
        ShowProgress(3, 10);
        UpdateProgress(nullptr, 512, 4096);
        throw std::runtime_error("przerwane");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(side.display.calls, (std::vector<std::wstring>{L"status Kompresuję pliki...", L"progress 3/10",
                                                             L"update 512/4096", L"finish"}));
}
