// TAppEraser in earnest: a copy of this test program erases itself. The
// copy runs the child test below, which starts the eraser and ends; the
// parent then watches the copy's executable and folder disappear.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "cleanup/win/apperaser.h"
#include "sealed.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/identity.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kChildVariable[] = L"ARCHIWIN_ERASER_CHILD";

std::set<std::wstring> Scripts() {
    std::set<std::wstring> names;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    for (const auto& e : fs::directory_iterator(temp))
        if (EndsWithNoCase(L".bat", e.path().wstring())) names.insert(e.path().wstring());
    return names;
}

bool WaitUntil(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

// Runs a copy of this program as the child test; its exit code.
DWORD RunCopy(const fs::path& exe, const std::wstring& mode) {
    SetEnvironmentVariableW(kChildVariable, mode.c_str());
    std::wstring command = L"\"" + exe.wstring() + L"\" --gtest_filter=EraserChild.* --gtest_brief=1";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                  exe.parent_path().c_str(), &si, &pi);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    if (!started) return 1000;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1001;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

class Eraser : public testing::Test {
protected:
    void SetUp() override { ASSERT_SEALED(); }
};

// The program is still running when the script starts: the script waits
// for it, then removes the executable, the empty folder and itself.
TEST_F(Eraser, RemovesTheProgramAndItsEmptyFolderAfterItEnds) {
    fs::path dir = FreshFolder(L"usuń mnie 100%");
    fs::path exe = dir / L"program (kopia).exe";
    ASSERT_TRUE(CopyFileW(ExecutablePath().c_str(), exe.c_str(), FALSE));
    std::set<std::wstring> before = Scripts();
    ASSERT_EQ(RunCopy(exe, L"folder"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(exe); }, 30)) << "the executable is still there";
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(dir); }, 10)) << "the folder is still there";
    EXPECT_TRUE(WaitUntil([&] { return Scripts() == before; }, 10)) << "the script is still there";
}

// Something else in the folder: the executable goes, the folder stays.
TEST_F(Eraser, AFolderThatIsNotEmptyStays) {
    fs::path dir = FreshFolder(L"usuń program");
    fs::path exe = dir / L"program.exe";
    ASSERT_TRUE(CopyFileW(ExecutablePath().c_str(), exe.c_str(), FALSE));
    WriteFile(dir / L"dane.dat");
    std::set<std::wstring> before = Scripts();
    ASSERT_EQ(RunCopy(exe, L"folder"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(exe); }, 30));
    EXPECT_TRUE(WaitUntil([&] { return Scripts() == before; }, 10));
    EXPECT_TRUE(fs::exists(dir / L"dane.dat"));
    std::error_code ec;
    fs::remove_all(dir, ec);
}

TEST_F(Eraser, NothingToEraseLeavesNoScript) {
    fs::path dir = FreshFolder(L"nic do usunięcia");
    std::set<std::wstring> before = Scripts();
    TAppEraser eraser;
    eraser.Files = {L"brak.exe", L"..\\też brak.dll"};
    eraser.Path = dir.wstring();
    EXPECT_FALSE(eraser.Execute());
    eraser.Path = dir.wstring() + L"\\brak folderu";
    eraser.Files = {L"*AppName*"};
    EXPECT_FALSE(eraser.Execute());
    eraser.Path.clear();
    EXPECT_FALSE(eraser.Execute());
    eraser.Path = dir.wstring();
    eraser.Files.clear();
    EXPECT_FALSE(eraser.Execute());
    EXPECT_EQ(Scripts(), before);
    fs::remove_all(dir);
}

// The command processor reads the script in the console's code page: a name
// it cannot represent is refused rather than mangled into another name.
TEST_F(Eraser, ANameOutsideTheConsoleCodePageIsRefused) {
    fs::path dir = FreshFolder(L"obce znaki");
    WriteFile(dir / L"プログラム.exe");
    std::set<std::wstring> before = Scripts();
    TAppEraser eraser;
    eraser.Files = {L"プログラム.exe"};
    eraser.Path = dir.wstring();
    EXPECT_FALSE(eraser.Execute());
    EXPECT_EQ(Scripts(), before);
    EXPECT_TRUE(fs::exists(dir / L"プログラム.exe"));
    fs::remove_all(dir);
}

// Two erasers at once get two scripts, each deleting its own file.
TEST_F(Eraser, TwoErasersNeverShareAScript) {
    fs::path dir = FreshFolder(L"dwa");
    WriteFile(dir / L"a.exe");
    WriteFile(dir / L"b.exe");
    TAppEraser first, second;
    first.Files = {L"a.exe"};
    second.Files = {L"b.exe"};
    first.Path = second.Path = dir.wstring();
    ASSERT_TRUE(first.Execute());
    ASSERT_TRUE(second.Execute());
    EXPECT_NE(first.ScriptPath(), second.ScriptPath());
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(dir / L"a.exe") && !fs::exists(dir / L"b.exe"); }, 20));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(first.ScriptPath()) && !FileExists(second.ScriptPath()); }, 10));
    EXPECT_TRUE(fs::exists(dir));
    fs::remove_all(dir);
}

TEST_F(Eraser, ProtectedFoldersAreNeverRemoved) {
    for (FolderKind kind : {FolderKind::DesktopDirectory, FolderKind::Personal, FolderKind::StartMenu,
                            FolderKind::Programs, FolderKind::Templates})
        EXPECT_TRUE(IsProtectedFolder(SpecialFolder(kind))) << SpecialFolder(kind);
    for (const wchar_t* path : {L"C:\\", L"c:", L"C:\\windows\\", L"", L"C:\\testy\\..\\"})
        EXPECT_TRUE(IsProtectedFolder(path)) << path;
    fs::path dir = FreshFolder(L"zwykły");
    EXPECT_FALSE(IsProtectedFolder(dir.wstring()));
    EXPECT_FALSE(IsProtectedFolder(dir.wstring() + L"\\"));
    fs::remove_all(dir);
}

// The eraser's own folder is left alone when it is the desktop, even empty.
TEST_F(Eraser, TheDesktopStaysEvenWhenEmptied) {
    std::wstring desktop = SpecialFolder(FolderKind::DesktopDirectory);
    fs::path file = fs::path(desktop) / L"usuń-mnie-test.exe";
    WriteFile(file);
    TAppEraser eraser;
    eraser.Files = {file.filename().wstring()};
    eraser.Path = desktop;
    eraser.DelPathIfEmpty = true;
    ASSERT_TRUE(eraser.Execute());
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(file) && !FileExists(eraser.ScriptPath()); }, 20));
    EXPECT_TRUE(DirectoryExists(desktop));
}

// The child: started by the tests above as a copy of this program.
TEST(EraserChild, EraseMyself) {
    wchar_t mode[32] = {};
    if (!GetEnvironmentVariableW(kChildVariable, mode, 32)) GTEST_SKIP() << "run by the eraser tests only";
    TAppEraser eraser;
    eraser.DelPathIfEmpty = std::wstring(mode) == L"folder";
    ASSERT_TRUE(eraser.Execute());
    // The script must wait for this process, which keeps its executable a moment longer.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(FileExists(ExecutablePath()));
}

}  // namespace
