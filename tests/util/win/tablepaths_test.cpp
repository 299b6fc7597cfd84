#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "guards.h"
#include "support/scripted_responder.h"
#include "util/ini.h"
#include "util/paths.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"
#include "util/win/tablepaths.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRoutes = 43;  // "Stałe trasy.dat"
constexpr int kCars = 38;    // "Samochody.dat"

// The table paths of the prefix are put back as they were after each test.
class TablePaths : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("archiwin-tables-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        RefuseMachineWideWrites(false);
        fs::remove_all(dir_);
        for (int t = 0; t < kTableCount; ++t) SetCurrentTablePath(t, L"");
    }

    std::wstring Make(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "dane";
        return path.wstring();
    }
    static std::wstring Registered(HKEY root, int table) {
        return RegReadValue(root == HKEY_LOCAL_MACHINE ? kLocalMachine : kCurrentUser, kTablePathsKey, Table(table).id,
                            L"");
    }

    ScriptedResponder responder_;
    fs::path dir_;
    RegistryValueGuard routesUser_{HKEY_CURRENT_USER, kTablePathsKey, Table(kRoutes).id};
    RegistryValueGuard routesMachine_{HKEY_LOCAL_MACHINE, kTablePathsKey, Table(kRoutes).id};
    RegistryValueGuard carsUser_{HKEY_CURRENT_USER, kTablePathsKey, Table(kCars).id};
    RegistryValueGuard carsMachine_{HKEY_LOCAL_MACHINE, kTablePathsKey, Table(kCars).id};
};

TEST_F(TablePaths, DefaultDataDirIsTheProgramsDirectory) { EXPECT_EQ(DefaultDataDir(), ProgramDir()); }

TEST_F(TablePaths, MachineValueWinsOverTheUsersAndTheSuggestion) {
    std::wstring mine = Make(dir_ / L"user" / L"Stałe trasy.dat"), machine = Make(dir_ / L"machine" / L"trasy.dat");
    std::wstring suggested = Make(dir_ / L"suggested" / L"Stałe trasy.dat");
    EXPECT_EQ(ResolveTablePath(kRoutes, suggested, false), suggested);
    StoreTablePath(kRoutes, L"");
    RegWriteString(kCurrentUser, kTablePathsKey, Table(kRoutes).id, mine);
    EXPECT_EQ(ResolveTablePath(kRoutes, suggested, false), mine);
    RegWriteString(kLocalMachine, kTablePathsKey, Table(kRoutes).id, machine);
    EXPECT_EQ(ResolveTablePath(kRoutes, suggested, false), machine);
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRoutes), machine);
    EXPECT_EQ(CurrentTablePath(kRoutes), machine);
    EXPECT_TRUE(responder_.shown.empty());
}

// A standard user's writes land in his own key (the seam refuses the
// machine's, as Windows does); an administrator's older machine-wide value
// naming a file that has gone must not hide the user's.
TEST_F(TablePaths, AValueWhoseFileIsGoneYieldsToOneThatExists) {
    std::wstring machine = (dir_ / L"stary" / L"Stałe trasy.dat").wstring();
    RegWriteString(kLocalMachine, kTablePathsKey, Table(kRoutes).id, machine);
    std::wstring mine = Make(dir_ / L"moje" / L"Stałe trasy.dat");
    RefuseMachineWideWrites(true);
    StoreTablePath(kRoutes, mine);
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, kRoutes), machine);
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRoutes), mine);
    EXPECT_EQ(ResolveTablePath(kRoutes, L"", false), mine);
    EXPECT_EQ(CurrentTablePath(kRoutes), mine);
    RefuseMachineWideWrites(false);
    EXPECT_TRUE(responder_.shown.empty());
}

TEST_F(TablePaths, AGoneFileFallsBackToTheDefaultPlace) {
    // A folder name only: the default file name is put in; a folder that is
    // gone becomes the default data folder.
    std::wstring folder = (dir_ / L"dane").wstring() + L"\\";
    fs::create_directories(folder);
    StoreTablePath(kRoutes, folder);
    EXPECT_EQ(ResolveTablePath(kRoutes, L"", false), DefaultDataDir() + L"Stałe trasy.dat");

    StoreTablePath(kRoutes, (dir_ / L"brak" / L"Stałe trasy.dat").wstring());
    std::wstring expected = DefaultDataDir() + L"Stałe trasy.dat";
    EXPECT_EQ(ResolveTablePath(kRoutes, L"", false), expected);
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, kRoutes), expected);
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRoutes), expected);
    EXPECT_EQ(CurrentTablePath(kRoutes), expected);
    EXPECT_TRUE(responder_.shown.empty());
}

// The search looks in c:\tev\ among other places; the files put there are
// removed afterwards.
class TableSearch : public TablePaths {
protected:
    void SetUp() override {
        TablePaths::SetUp();
        tevExisted_ = fs::exists(L"c:\\tev");
        StoreTablePath(kCars, (dir_ / L"brak" / L"Samochody.dat").wstring());
        responder_.shown.clear();
    }
    void TearDown() override {
        for (const auto& file : made_) fs::remove_all(fs::path(file).parent_path());
        if (!tevExisted_) fs::remove_all(L"c:\\tev");
        TablePaths::TearDown();
    }
    std::wstring Place(const std::wstring& folder) {
        made_.push_back(Make(fs::path(L"c:\\tev\\archiwin-test-" + folder) / L"Samochody.dat"));
        return made_.back();
    }

    bool tevExisted_ = false;
    std::vector<std::wstring> made_;
};

TEST_F(TableSearch, OneFileFoundIsTakenWhenConfirmed) {
    std::wstring found = Place(L"a");
    responder_.Answer(1);
    EXPECT_EQ(ResolveTablePath(kCars, L"", true), found);
    ASSERT_EQ(responder_.shown.size(), 1u);
    EXPECT_EQ(responder_.shown[0].kind, L"message");
    EXPECT_EQ(responder_.shown[0].headline, found + L": Znalazłem plik z danymi. Czy mam go otworzyć?");
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, kCars), found);
}

TEST_F(TableSearch, RefusedOrCancelledLeavesTheDefault) {
    Place(L"a");
    responder_.Answer(2);
    EXPECT_EQ(ResolveTablePath(kCars, L"", true), DefaultDataDir() + L"Samochody.dat");

    Place(L"b");
    StoreTablePath(kCars, L"");
    responder_.shown.clear();
    responder_.Cancel();
    EXPECT_EQ(ResolveTablePath(kCars, L"", true), DefaultDataDir() + L"Samochody.dat");
    ASSERT_EQ(responder_.shown.size(), 1u);  // the pick list only, no confirmation
    EXPECT_EQ(responder_.shown[0].kind, L"pick");
}

TEST_F(TableSearch, SeveralFilesArePickedFrom) {
    std::wstring first = Place(L"a"), second = Place(L"b");
    responder_.Answer(1).Answer(1);
    std::wstring chosen = ResolveTablePath(kCars, L"", true);
    ASSERT_EQ(responder_.shown.size(), 2u);
    const Shown& pick = responder_.shown[0];
    EXPECT_EQ(pick.kind, L"pick");
    EXPECT_EQ(pick.caption, L"Wybierz plik, który chcesz użyć!");
    EXPECT_EQ(pick.headline, L"Pliki baz danych");
    ASSERT_EQ(pick.items.size(), 2u);
    for (const auto& item : pick.items) {
        EXPECT_EQ(item.find(L"\r"), std::wstring::npos);
        EXPECT_NE(item.find(L"<br>zajmuje 4 B<br>ostatnio zapisany: "), std::wstring::npos) << item;
    }
    EXPECT_NE(pick.items[1].find(chosen), std::wstring::npos);
    EXPECT_TRUE(chosen == first || chosen == second) << chosen;
    EXPECT_EQ(responder_.shown[1].headline, chosen + L": Znalazłem plik z danymi. Czy mam go otworzyć?");
}

TEST_F(TablePaths, FilesKnownByName) {
    EXPECT_EQ(TableForFile(L"Samochody.dat"), 0);
    EXPECT_EQ(TableIdForFile(L"Samochody.dat"), L"(nieznany plik!)");
    SetCurrentTablePath(kCars, L"C:\\Dane\\Samochody.dat");
    SetCurrentTablePath(0, L"C:\\Dane\\ttsBrak.dat");
    EXPECT_EQ(TableForFile(L"d:\\kopia\\SAMOCHODY.DAT"), kCars);
    EXPECT_EQ(TableIdForFile(L"samochody.dat"), L"tts_Samochody");
    EXPECT_EQ(TableForFile(L"ttsBrak.dat"), 0);
    EXPECT_EQ(TableIdForFile(L"ttsBrak.dat"), L"(nieznany plik!)");
    EXPECT_EQ(TargetForFile(L"d:\\kopia\\samochody.dat"), L"C:\\Dane\\Samochody.dat");
    EXPECT_EQ(TableForFile(L"C:\\Dane\\"), 0);
}

TEST(SharedFiles, FixedAndRememberedPlaces) {
    FileGuard ini(SharedSettingsFile());
    DeleteFileW(SharedSettingsFile().c_str());
    const std::wstring help = (std::filesystem::temp_directory_path() / L"archiwin-tev.hlp").wstring();
    std::ofstream(std::filesystem::path(help)) << "pomoc";
    IniWriteString(SharedSettingsFile(), L"Pomocy", L"Plik", help);

    EXPECT_EQ(SharedSettingsFile(), L"c:\\tev.ini");
    EXPECT_EQ(NipExceptionsFile(), L"c:\\wyjatki.nip");
    EXPECT_EQ(InterestRatesFile(), L"c:\\odsetki.dat");
    EXPECT_EQ(IniReadString(SharedSettingsFile(), L"Wyjątki NIP", L"Plik", L""), L"c:\\wyjatki.nip");
    EXPECT_EQ(IniReadString(SharedSettingsFile(), L"Odsetki", L"Plik", L""), L"c:\\odsetki.dat");
    EXPECT_EQ(HelpFile(), help);
    EXPECT_EQ(IniReadString(SharedSettingsFile(), L"Pomocy", L"Plik", L""), help);

    // With no table resolved, only the shared files have a place.
    for (int t = 0; t < kTableCount; ++t) ASSERT_EQ(CurrentTablePath(t), L"");
    EXPECT_EQ(TargetForFile(L"D:\\kopia\\TEV.INI"), L"c:\\tev.ini");
    EXPECT_EQ(TargetForFile(L"wyjatki.nip"), L"c:\\wyjatki.nip");
    EXPECT_EQ(TargetForFile(L"odsetki.dat"), L"c:\\odsetki.dat");
    EXPECT_EQ(TargetForFile(L"Samochody.dat"), L"");
    std::filesystem::remove(help);
}

}  // namespace

namespace {

// A copy of this executable on the desktop runs the test below as the child.
TEST(DataDir, ProgramOnTheDesktopKeepsDataInDocuments) {
    if (GetEnvironmentVariableW(L"ARCHIWIN_DESKTOP_CHILD", nullptr, 0)) {
        EXPECT_TRUE(SameTextNoCase(ProgramDir(), DesktopDir())) << ProgramDir();
        EXPECT_EQ(DefaultDataDir(), DocumentsDir());
        EXPECT_EQ(WorkDir(), DocumentsDir());
        return;
    }
    const std::wstring copy = DesktopDir() + L"archiwin-test-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    ASSERT_TRUE(CopyFileW(ProgramFile().c_str(), copy.c_str(), FALSE));
    SetEnvironmentVariableW(L"ARCHIWIN_DESKTOP_CHILD", L"1");
    std::wstring command = L"\"" + copy + L"\" --gtest_brief=1 --gtest_filter=DataDir.ProgramOnTheDesktopKeepsDataInDocuments";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(L"ARCHIWIN_DESKTOP_CHILD", nullptr);
    DWORD code = 1;
    if (started) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    DeleteFileW(copy.c_str());
    ASSERT_TRUE(started);
    EXPECT_EQ(code, 0u) << "the copy on the desktop failed";
}

}  // namespace
