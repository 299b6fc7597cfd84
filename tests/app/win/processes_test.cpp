// The program in its own processes: the single-instance guard, the
// switches that end the start, the siblings warning and the end of the run.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win/siblings.h"
#include "process_driver.h"
#include "support/scripted_responder.h"
#include "util/win/guards.h"
#include "util/win/identity.h"
#include "util/win/registry.h"

namespace {

constexpr DWORD kStart = 20000;  // Wine may be slow to start a process

bool AtomExists(const std::wstring& exe) { return GlobalFindAtomW(exe.c_str()) != 0; }

void CloseMain(ProgramProcess& p) {
    HWND main = p.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(kStart), 0);
}

}  // namespace

TEST(Program, VersionResourceNamesTheProductAndTheMaker) {
    TNazwaAplikacji id = ReadAppIdentity(ProgramUnderTest());
    EXPECT_EQ(id.productName, L"Archiwin");
    EXPECT_EQ(id.companyName, L"Studio TEV");
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::wstring prefix = std::to_wstring(now.wYear - 1800) + L"." + std::to_wstring(now.wMonth) + L".";
    EXPECT_EQ(id.version.rfind(prefix, 0), 0u) << id.version;  // built today or yesterday's build day
    EXPECT_EQ(id.fileDescription, L"Archiwin - kopie zapasowe danych programów TEV");
    EXPECT_FALSE(id.comments.empty());
    EXPECT_EQ(id.IdentityText(), L"Archiwin (Studio TEV) " + id.version);
}

TEST(Program, FirstStepSwitchEndsAtOnceAfterRecordingThePath) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    RegDeleteKey(kLocalMachine, L"Software\\TEV\\ścieżki");
    ProgramProcess p(exe, L"/PierwszyKrok");
    EXPECT_EQ(p.WaitExit(kStart), 0);
    EXPECT_EQ(RegReadValue(kLocalMachine, L"Software\\TEV\\ścieżki", L"Archiwin", L""), exe);
    EXPECT_FALSE(AtomExists(exe)) << "the atom goes with the process";
}

// A standard user may not write machine-wide keys: Wine refuses them to the
// program's process through an access list on Software\TEV (MachineKeyLock).
// The path sibling tools look for lands in the user's key, and the main
// window comes up without a registry message.
TEST(Program, StandardUserStartsWithoutARegistryMessage) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    RegistryValueGuard user(HKEY_CURRENT_USER, L"Software\\TEV\\ścieżki", L"Archiwin");
    MachineKeyLock lock(L"Software\\TEV");
    ProgramProcess p(exe, L"");
    HWND main = p.WaitWindow(L"ArchiwinControl", kStart);
    HWND message = p.MessageWindow();
    EXPECT_EQ(message, nullptr) << (message ? MessageText(message) : std::wstring());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(RegReadValue(kCurrentUser, L"Software\\TEV\\ścieżki", L"Archiwin", L""), exe);
    CloseMain(p);
}

TEST(Program, AboutSwitchInsideAPathShowsOneWindowAndEnds) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    ProgramProcess p(exe, L"C:\\dane\\/about\\plik.txt");
    HWND about = p.WaitWindow(L"#32770", kStart);
    ASSERT_NE(about, nullptr);
    wchar_t caption[64] = {};
    GetWindowTextW(about, caption, 64);
    EXPECT_STREQ(caption, L"Tevsoft 2002 -- O programie");
    EXPECT_EQ(p.MainWindow(), nullptr);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(kStart), 0);
}

TEST(Program, CleanupSwitchShowsTheWizardAloneAndEnds) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    ProgramProcess p(exe, L"/vorozide");
    ASSERT_NE(p.WaitWindow(L"#32770", kStart), nullptr);  // a dialog of the program
    HWND wizard = nullptr;
    for (DWORD waited = 0; !wizard && waited < kStart && p.Running(); waited += 100) {
        wizard = FindWindowW(L"ArchiwinControl", L"Vorozide");
        if (!wizard) Sleep(100);
    }
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(IsWindowVisible(wizard));
    EXPECT_EQ(p.MainWindow(), nullptr);
    PostMessageW(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(kStart), 0);
}

TEST(Program, SecondCopyAsksAndNoEndsItLeavingTheFirstOnesAtom) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    ProgramProcess first(exe, L"");
    ASSERT_NE(first.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    EXPECT_TRUE(AtomExists(exe));

    ProgramProcess second(exe, L"");
    HWND question = second.WaitWindow(L"#32770", kStart);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(MessageText(question).find(L"KOLEJNĄ"), std::wstring::npos);
    AnswerMessage(question, false);
    EXPECT_EQ(second.WaitExit(kStart), 0);
    EXPECT_TRUE(AtomExists(exe));

    // "Yes": a second main window; ending it removes the atom, so while the
    // first copy still runs a third start is not asked.
    ProgramProcess third(exe, L"");
    question = third.WaitWindow(L"#32770", kStart);
    ASSERT_NE(question, nullptr);
    AnswerMessage(question, true);
    ASSERT_NE(third.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    CloseMain(third);
    EXPECT_FALSE(AtomExists(exe));

    ProgramProcess fourth(exe, L"");
    ASSERT_NE(fourth.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    EXPECT_EQ(fourth.MessageWindow(), nullptr);
    CloseMain(fourth);
    CloseMain(first);
}

TEST(Program, AtomLeftByACrashIsAskedAboutOnce) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    {
        ProgramProcess crashed(exe, L"");
        ASSERT_NE(crashed.WaitWindow(L"ArchiwinControl", kStart), nullptr);
        crashed.Terminate();
    }
    ASSERT_TRUE(AtomExists(exe));
    ProgramProcess next(exe, L"");
    HWND question = next.WaitWindow(L"#32770", kStart);
    ASSERT_NE(question, nullptr);
    AnswerMessage(question, true);
    ASSERT_NE(next.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    CloseMain(next);
    EXPECT_FALSE(AtomExists(exe));
}

TEST(Program, EndOfRunWritesThePlacement) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    RegDeleteKey(kCurrentUser, L"Software\\TEV\\Archiwin");
    ProgramProcess p(exe, L"");
    ASSERT_NE(p.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    CloseMain(p);
    std::wstring screen = L"(" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                          std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L")";
    for (std::wstring name : {L"Flags", L"ShowCmd", L"PixelsPerInch", L"Visible"})
        EXPECT_NE(ReadSetting(L"Archiwin\\Main", name, L"?"), L"?") << name;
    for (std::wstring name : {L"MinMaxPos", L"NormPos"}) {
        std::wstring plain = ReadSetting(L"Archiwin\\Main", name, L"?");
        EXPECT_NE(plain, L"?") << name;
        EXPECT_EQ(ReadSetting(L"Archiwin\\Main", name + screen, L"!"), plain) << name;
    }
    EXPECT_EQ(ReadSetting(L"Archiwin\\Main", L"PixelsPerInch", L""), L"96");
}

TEST(Program, RunningSiblingIsNamedInTheWarning) {
    TempDir dir;
    // A copy under another name is a sibling: its maker is "Studio TEV".
    std::wstring sibling = dir.CopyProgram(L"papirek.exe");
    std::wstring helper = dir.CopyProgram(L"zbiormenu.exe");
    std::wstring own = ExecutablePath();
    auto siblings = SiblingPrograms({own, sibling, helper}, own);
    ASSERT_EQ(siblings.size(), 1u);
    EXPECT_EQ(siblings[0], sibling);

    ProgramProcess running(sibling, L"");
    ASSERT_NE(running.WaitWindow(L"ArchiwinControl", kStart), nullptr);
    auto executables = RunningExecutables(own);
    bool listed = false;
    for (auto& e : executables) listed |= _wcsicmp(e.c_str(), sibling.c_str()) == 0;
    EXPECT_TRUE(listed);

    ScriptedResponder script;
    script.Answer(2);  // "Nie": do not go on
    EXPECT_TRUE(CheckRunningSiblings(true, false));
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline.rfind(L"Uwaga! Inny program Studio TEV", 0), 0u);
    EXPECT_NE(script.shown[0].body.find(L"Uruchomiony program:\r\nArchiwin (Studio TEV) "), std::wstring::npos);
    script.Answer(1);
    EXPECT_FALSE(CheckRunningSiblings(true, false));
    EXPECT_TRUE(CheckRunningSiblings(false, false));
    CloseMain(running);
    EXPECT_FALSE(CheckRunningSiblings(true, false));
    EXPECT_EQ(script.shown.size(), 2u);
}

TEST(Program, BackupOptionsSwitchShowsTheDialogAloneAndEnds) {
    TempDir dir;
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    ProgramProcess p(exe, L"/kopiezapasowe");
    HWND dialog = p.WaitWindow(L"#32770", kStart);
    ASSERT_NE(dialog, nullptr);
    wchar_t caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    EXPECT_STREQ(caption, L"Opcje kopii zapasowych");
    EXPECT_EQ(p.MainWindow(), nullptr);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(kStart), 0);
}

TEST(Program, NoToTheSiblingsWarningReleasesTheSingleInstanceMark) {
    TempDir dir;
    std::wstring sibling = dir.CopyProgram(L"papirek.exe");
    std::wstring exe = dir.CopyProgram(L"archiwin.exe");
    ProgramProcess running(sibling, L"");
    ASSERT_NE(running.WaitWindow(L"ArchiwinControl", kStart), nullptr);

    ProgramProcess p(exe, L"");
    HWND warning = p.WaitWindow(L"#32770", kStart);
    ASSERT_NE(warning, nullptr);
    EXPECT_NE(MessageText(warning).find(L"Inny program Studio TEV"), std::wstring::npos);
    AnswerMessage(warning, false);
    EXPECT_EQ(p.WaitExit(kStart), 0);
    EXPECT_EQ(p.MainWindow(), nullptr);
    // The next start is not asked about another copy of itself.
    EXPECT_FALSE(AtomExists(exe));
    CloseMain(running);
}
