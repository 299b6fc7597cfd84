#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "guards.h"
#include "util/ini.h"
#include "util/win/filesearch.h"
#include "util/win/sharedfiles.h"

namespace {

namespace fs = std::filesystem;

// root\a.txt, root\b.dat, root\sub\c.txt, root\sub\głęboki\d.txt, root\z\e.txt
class FileSearch : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                (std::string("archiwin-search-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        for (const wchar_t* file : {L"a.txt", L"b.dat", L"sub\\c.txt", L"sub\\głęboki\\d.txt", L"z\\e.txt"}) {
            fs::path path = root_ / file;
            fs::create_directories(path.parent_path());
            std::ofstream(path) << "x";
        }
        dir_ = root_.wstring() + L"\\";
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    std::wstring dir_;
};

TEST_F(FileSearch, FilesOfAFolderComeBeforeItsSubfolders) {
    std::vector<std::wstring> list{L"stary wpis"};
    EXPECT_EQ(FindFiles(list, L"*.txt", root_.wstring(), true), 4);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], dir_ + L"a.txt");
    // Subfolders in the system's enumeration order, each depth first.
    std::vector<std::wstring> rest(list.begin() + 1, list.end());
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest, (std::vector<std::wstring>{dir_ + L"sub\\c.txt", dir_ + L"sub\\głęboki\\d.txt", dir_ + L"z\\e.txt"}));
    auto at = [&](const std::wstring& p) { return std::find(list.begin(), list.end(), p) - list.begin(); };
    EXPECT_LT(at(dir_ + L"sub\\c.txt"), at(dir_ + L"sub\\głęboki\\d.txt"));

    EXPECT_EQ(FindFiles(list, L"*.*", dir_, false), 2);
    EXPECT_EQ(list, (std::vector<std::wstring>{dir_ + L"a.txt", dir_ + L"b.dat"}));
}

TEST_F(FileSearch, OverlappingAndMissingFolders) {
    std::vector<std::wstring> list;
    std::wstring folders = dir_ + L"brak;" + dir_ + L"sub;" + dir_.substr(0, dir_.size() - 1) + L";" + dir_ + L"SUB";
    EXPECT_EQ(FindFiles(list, L"*.txt", folders, true), 2 + 4 + 2);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], dir_ + L"sub\\c.txt");
}

// The system's search matches masks against short 8.3 names as well
// ("umowa.data" is UMOWA~1.DAT): only long names that match are listed.
TEST_F(FileSearch, ShortNameLookAlikesAreNotListed) {
    for (const wchar_t* file : {L"umowa.data", L"baza.dat_old", L"sub\\stara baza.datx"})
        std::ofstream(root_ / file) << "x";
    std::vector<std::wstring> list;
    FindFiles(list, L"*.dat", dir_, true);
    EXPECT_EQ(list, std::vector<std::wstring>{dir_ + L"b.dat"});
}

TEST_F(FileSearch, FindFileInTree) {
    EXPECT_EQ(FindFileInTree(L"c.txt", dir_ + L"z;" + dir_ + L"sub", false), dir_ + L"sub\\c.txt");
    EXPECT_EQ(FindFileInTree(L"d.txt", dir_, false), L"");
    EXPECT_EQ(FindFileInTree(L"d.txt", dir_ + L"z;" + dir_, true), dir_ + L"sub\\głęboki\\d.txt");
    EXPECT_EQ(FindFileInTree(L"brak.txt", dir_, true), L"");
    EXPECT_EQ(FindFileInTree(dir_ + L"b.dat", L"", false), dir_ + L"b.dat");
}

TEST_F(FileSearch, ALinkBackUpTheTreeIsNotEntered) {
    std::wstring link = dir_ + L"sub\\pętla";
    if (!CreateSymbolicLinkW(link.c_str(), root_.wstring().c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        GTEST_SKIP() << "no symbolic links here";
    std::vector<std::wstring> list;
    EXPECT_EQ(FindFiles(list, L"*.txt", dir_, true), 4);
    EXPECT_EQ(FindFileInTree(L"brak.txt", dir_, true), L"");
    RemoveDirectoryW(link.c_str());
}

}  // namespace

// The help file: found once, a fruitless or stopped search noted per program
// version, the kept location preferred to every search.
TEST_F(FileSearch, HelpFileSearchedOncePerProgramVersion) {
    FileGuard ini(SharedSettingsFile());
    RegistryValueGuard noted(HKEY_CURRENT_USER, L"Software\\TEV\\Archiwin", L"Pomoc nieznaleziona w wersji");
    DeleteFileW(SharedSettingsFile().c_str());
    const std::wstring help = dir_ + L"sub\\głęboki\\tev.hlp";
    auto kept = [] { return IniReadString(SharedSettingsFile(), L"Pomocy", L"Plik", L""); };

    // Nothing there: the search finds nothing and notes the version.
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.1"), L"");
    EXPECT_EQ(kept(), L"");
    std::ofstream(fs::path(help)) << "pomoc";
    // The same version does not search again; another one does, and finds it.
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.1"), L"");
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.2"), help);
    EXPECT_EQ(kept(), help);
    // The kept location is taken without a search, whatever was noted.
    fs::remove(fs::path(help));
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.2"), L"");
    std::ofstream(fs::path(help)) << "pomoc";
    IniWriteString(SharedSettingsFile(), L"Pomocy", L"Plik", help);
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.2"), help);

    // Esc pressed while it runs stops it: nothing found, the version noted.
    IniWriteString(SharedSettingsFile(), L"Pomocy", L"Plik", L"");
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.3"), L"");
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.3"), L"");
    EXPECT_EQ(LocateHelpFile(dir_, L"1.0.0.4"), help);
}
