// The cleanup's components on the system: the folder walk, shortcut files,
// the shell's file operation and the eraser. In the sealed prefix only.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "cleanup/win/apperaser.h"
#include "cleanup/win/fileoperation.h"
#include "cleanup/win/filesearch.h"
#include "cleanup/win/shelllink.h"
#include "sealed.h"
#include "util/paths.h"
#include "util/win/guards.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/identity.h"

namespace fs = std::filesystem;

namespace {

std::wstring Dir(const fs::path& p) { return p.wstring() + L"\\"; }

// ------------------------------------------------------------ TFileSearch

// root\a.lnk, root\x.lnk\ (a folder), root\x.lnk2 (a look-alike for the
// short-name match), root\sub\b.lnk, root\sub\c.txt, root\sub\pętla (a link
// back to root), root\obok (a link out of the tree, to a folder holding
// d.lnk).
class Walk : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_SEALED();
        root_ = FreshFolder(L"walk");
        outside_ = FreshFolder(L"walk-outside");
        for (const wchar_t* f : {L"a.lnk", L"x.lnk2", L"sub\\b.lnk", L"sub\\c.txt"}) WriteFile(root_ / f);
        fs::create_directories(root_ / L"x.lnk");
        WriteFile(outside_ / L"d.lnk");
        links_ = CreateSymbolicLinkW((root_ / L"sub\\pętla").c_str(), root_.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
                 CreateSymbolicLinkW((root_ / L"obok").c_str(), outside_.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    }
    void TearDown() override {
        RemoveDirectoryW((root_ / L"sub\\pętla").c_str());
        RemoveDirectoryW((root_ / L"obok").c_str());
        std::error_code ec;
        fs::remove_all(root_, ec);
        fs::remove_all(outside_, ec);
    }

    struct Seen {
        std::vector<std::wstring> found, folders;
        int finished = 0;
    };
    Seen Run(TFileSearch& search) {
        Seen seen;
        search.OnFileFind = [&](const std::wstring& folder, const WIN32_FIND_DATAW& info) {
            seen.found.push_back(folder + info.cFileName);
        };
        search.OnChangeFolder = [&](const std::wstring& folder, const WIN32_FIND_DATAW&) {
            seen.folders.push_back(folder);
        };
        search.OnFinish = [&] { ++seen.finished; };
        search.Execute();
        return seen;
    }

    fs::path root_, outside_;
    bool links_ = false;
};

TEST_F(Walk, ReportsMatchesDepthFirstAndStaysInTheTree) {
    TFileSearch search;
    search.SetSearchFile(Dir(root_) + L"*.lnk");
    Seen seen = Run(search);
    const std::wstring r = Dir(root_);
    std::vector<std::wstring> found = seen.found;
    std::sort(found.begin(), found.end());
    // A folder named x.lnk is reported too; handlers that want files test for one.
    EXPECT_EQ(found, (std::vector<std::wstring>{r + L"a.lnk", r + L"sub\\b.lnk", r + L"x.lnk"}));
    EXPECT_EQ(seen.finished, 1);
    ASSERT_FALSE(seen.folders.empty());
    EXPECT_EQ(seen.folders.front(), r);
    // The start folder's matches come before anything of its subfolders.
    auto at = [&](const std::wstring& p) { return std::find(seen.found.begin(), seen.found.end(), p); };
    EXPECT_LT(at(r + L"a.lnk"), at(r + L"sub\\b.lnk"));
    if (!links_) GTEST_SKIP() << "no symbolic links here";
    for (const auto& folder : seen.folders) {
        EXPECT_FALSE(ContainsNoCase(L"pętla", folder)) << folder;
        EXPECT_FALSE(ContainsNoCase(L"obok", folder)) << folder;
    }
}

TEST_F(Walk, WithoutRecursionOnlyTheStartFolder) {
    TFileSearch search;
    search.RecurseSubFolders = false;
    search.SetSearchFile(Dir(root_) + L"*.*");
    Seen seen = Run(search);
    EXPECT_EQ(seen.folders, std::vector<std::wstring>{Dir(root_)});
    for (const auto& f : seen.found) EXPECT_FALSE(ContainsNoCase(L"\\sub\\", f)) << f;
    EXPECT_EQ(std::count(seen.found.begin(), seen.found.end(), Dir(root_) + L"a.lnk"), 1);
}

TEST_F(Walk, StopEndsEveryLevelAndFinishStillComes) {
    TFileSearch search;
    search.SetSearchFile(Dir(root_) + L"*.*");
    int found = 0;
    search.OnFileFind = [&](const std::wstring&, const WIN32_FIND_DATAW&) {
        ++found;
        search.Stop = true;
    };
    int finished = 0;
    search.OnFinish = [&] { ++finished; };
    search.Stop = true;  // reset by the walk
    search.Execute();
    EXPECT_EQ(found, 1);
    EXPECT_EQ(finished, 1);
}

TEST_F(Walk, AMissingFolderReportsNothingButFinishes) {
    TFileSearch search;
    search.SetSearchFile(Dir(root_) + L"brak\\*.lnk");
    Seen seen = Run(search);
    EXPECT_TRUE(seen.found.empty());
    EXPECT_EQ(seen.finished, 1);
}

// ------------------------------------------------------------ TPBShellLink

class ShellLink : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_SEALED();
        dir_ = FreshFolder(L"skróty");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(ShellLink, SavesAndLoadsEveryProperty) {
    const std::wstring target = ExecutablePath();
    TPBShellLink link;
    link.SetFileName(Dir(dir_) + L"Skrót ąę");
    EXPECT_EQ(link.FileName(), Dir(dir_) + L"Skrót ąę.lnk");
    link.Target = target;
    link.Arguments = L"/pierwszyraz";
    link.Description = L"Archiwin – kopie zapasowe";
    link.WorkingDir = Dir(dir_);
    link.WindowState = TShowState::Maximized;
    link.HotKey = {'A', false, true, true};
    link.FileIcon = {target, 0};
    link.Save();
    ASSERT_TRUE(FileExists(link.FileName()));

    TPBShellLink read;
    read.SetFileName(link.FileName());
    read.Load();
    EXPECT_TRUE(SameTextNoCase(read.Target, target)) << read.Target;
    EXPECT_EQ(read.Arguments, L"/pierwszyraz");
    EXPECT_EQ(read.Description, L"Archiwin – kopie zapasowe");
    EXPECT_TRUE(SameTextNoCase(WithBackslash(read.WorkingDir), Dir(dir_))) << read.WorkingDir;
    EXPECT_EQ(read.WindowState, TShowState::Maximized);
    EXPECT_EQ(read.HotKey, (TShortCut{'A', false, true, true}));
    EXPECT_TRUE(SameTextNoCase(read.FileIcon.FileName, target)) << read.FileIcon.FileName;

    // Saving again rewrites the existing file.
    read.Target = Dir(dir_) + L"inny.exe";
    read.WindowState = TShowState::Minimized;
    read.Save();
    TPBShellLink again;
    again.SetFileName(link.FileName());
    again.Load();
    EXPECT_TRUE(SameTextNoCase(again.Target, Dir(dir_) + L"inny.exe")) << again.Target;
    EXPECT_EQ(again.WindowState, TShowState::Minimized);
}

TEST_F(ShellLink, ErrorsInTheChosenLanguage) {
    TPBShellLink link;
    link.SetFileName(Dir(dir_) + L"brak");
    auto message = [&] {
        try {
            link.Load();
        } catch (const EPBShellLink& e) {
            return e.Message();
        }
        return std::wstring(L"(nothing raised)");
    };
    EXPECT_EQ(message(), L"Lien non trouvé.");
    link.SetLanguage(TLanguage::lgEnglish);
    EXPECT_EQ(message(), L"Link not found.");
    WriteFile(dir_ / L"zły.lnk", "to nie jest skrót");
    link.SetFileName(Dir(dir_) + L"zły.lnk");
    EXPECT_EQ(message(), L"Read error.");
    link.SetLanguage(TLanguage::lgFrench);
    EXPECT_EQ(message(), L"Erreur en lecture.");

    TPBShellLink nowhere;
    nowhere.SetFileName(Dir(dir_) + L"brak folderu\\x");
    nowhere.Target = ExecutablePath();
    try {
        nowhere.Save();
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EPBShellLink& e) {
        EXPECT_EQ(e.Message(), L"Erreur en écriture.");
    }
}

// The shell folder's path comes from the user's "Shell Folders" key.
TEST_F(ShellLink, ShellFolderRebasesTheName) {
    const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    RegistryValueGuard guard(HKEY_CURRENT_USER, key, L"Favorites");
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
    std::wstring folder = dir_.wstring();
    RegSetValueExW(k, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);

    TPBShellLink link;
    link.SetFileName(L"C:\\gdzieś\\Archiwin");
    link.SetShellFolder(TShellFolder::sfFavorites);
    EXPECT_EQ(link.FileName(), Dir(dir_) + L"Archiwin.lnk");
    link.SetFileName(L"Inny.LNK");
    EXPECT_EQ(link.FileName(), Dir(dir_) + L"Inny.LNK");
    link.SetFileName(L".lnk");
    EXPECT_EQ(link.FileName(), L"");
}

TEST(ShortCuts, HotKeyBits) {
    EXPECT_EQ(ShortCutFromHotKey(0x0641), (TShortCut{0x41, false, true, true}));
    EXPECT_EQ(ShortCutFromHotKey(0x0170), (TShortCut{VK_F1, true, false, false}));
    EXPECT_EQ(HotKeyFromShortCut({0x41, true, true, true}), 0x0741);
}

// --------------------------------------------------------- TFileOperation

class FileOperation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_SEALED();
        dir_ = FreshFolder(L"operacje");
        for (const wchar_t* f : {L"a;b.dat", L"a", L"b.dat", L"c.dat"}) WriteFile(dir_ / f);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

// A name with ";" is one name: its neighbours "a" and "b.dat" stay.
TEST_F(FileOperation, DeletesExactlyTheNamedFiles) {
    TFileOperation op;
    op.Operation = TFileOp::foDelete;
    op.FilesFrom = {Dir(dir_) + L"a;b.dat"};
    op.Flags = {TFileOpFlag::fofNoConfirmation, TFileOpFlag::fofSilent};
    EXPECT_TRUE(op.Execute());
    EXPECT_FALSE(op.OperationAborted());
    EXPECT_FALSE(fs::exists(dir_ / L"a;b.dat"));
    EXPECT_TRUE(fs::exists(dir_ / L"a"));
    EXPECT_TRUE(fs::exists(dir_ / L"b.dat"));
}

TEST_F(FileOperation, RefusesRelativePathsWithoutCallingTheShell) {
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(dir_.c_str());
    TFileOperation op;
    op.Operation = TFileOp::foDelete;
    op.FilesFrom = {Dir(dir_) + L"c.dat", L"b.dat"};
    op.Flags = {TFileOpFlag::fofNoConfirmation, TFileOpFlag::fofSilent};
    EXPECT_FALSE(op.Execute());
    SetCurrentDirectoryW(current);
    EXPECT_TRUE(fs::exists(dir_ / L"b.dat"));
    EXPECT_TRUE(fs::exists(dir_ / L"c.dat"));
    op.FilesFrom.clear();
    EXPECT_FALSE(op.Execute());
}

TEST_F(FileOperation, CopiesIntoAFolder) {
    TFileOperation op;
    op.Operation = TFileOp::foCopy;
    op.FilesFrom = {Dir(dir_) + L"a;b.dat", Dir(dir_) + L"c.dat"};
    op.FilesTo = {Dir(dir_) + L"kopie"};
    op.Flags = {TFileOpFlag::fofNoConfirmation, TFileOpFlag::fofNoConfirmMkDir, TFileOpFlag::fofSilent};
    EXPECT_TRUE(op.Execute());
    EXPECT_TRUE(fs::exists(dir_ / L"kopie" / L"a;b.dat"));
    EXPECT_TRUE(fs::exists(dir_ / L"kopie" / L"c.dat"));
    EXPECT_TRUE(fs::exists(dir_ / L"c.dat"));
}

TEST(FileOperationFlags, EachFlagIsItsShellOption) {
    EXPECT_EQ(ShellFlags({}), 0);
    EXPECT_EQ(ShellFlags({TFileOpFlag::fofAllowUndo, TFileOpFlag::fofSilent}), FOF_ALLOWUNDO | FOF_SILENT);
    EXPECT_EQ(ShellFlags({TFileOpFlag::fofConfirmMouse, TFileOpFlag::fofFilesOnly, TFileOpFlag::fofMultiDestFiles,
                          TFileOpFlag::fofNoConfirmation, TFileOpFlag::fofNoConfirmMkDir,
                          TFileOpFlag::fofRenameOnCollision, TFileOpFlag::fofSimpleProgress}),
              FOF_CONFIRMMOUSE | FOF_FILESONLY | FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR |
                  FOF_RENAMEONCOLLISION | FOF_SIMPLEPROGRESS);
}

}  // namespace
