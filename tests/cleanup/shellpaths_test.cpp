#include <gtest/gtest.h>

#include "cleanup/shellpaths.h"

TEST(ShellPaths, OnlyAbsolutePathsReachTheShell) {
    for (const wchar_t* path : {L"C:\\dane\\a;b.dat", L"d:\\", L"\\\\serwer\\udział\\x.dat", L"\\\\serwer\\u"})
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
    for (const wchar_t* path : {L"", L"a.dat", L"dane\\a.dat", L"\\dane\\a.dat", L"C:dane", L"C:", L"\\\\serwer",
                                L"\\\\serwer\\", L"\\\\\\x\\y", L"1:\\x", L"Ą:\\x"})
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
}

// ";" is a legal character of a file name: the list is built from the names,
// each ended by a NUL, the whole by a second one.
TEST(ShellPaths, ListKeepsSemicolonsAndRefusesRelativeEntries) {
    auto list = ShellPathList({L"C:\\a;b.dat", L"C:\\c.dat"});
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, std::wstring(L"C:\\a;b.dat\0C:\\c.dat\0\0", 21));

    EXPECT_FALSE(ShellPathList({}));
    EXPECT_FALSE(ShellPathList({L"C:\\a.dat", L"b.dat"}));
    EXPECT_FALSE(ShellPathList({L"C:\\a.dat", L""}));
    EXPECT_FALSE(ShellPathList({std::wstring(L"C:\\a\0C:\\b", 9)}));
}

TEST(ShellPaths, ShortcutNames) {
    struct Case { const wchar_t* value; const wchar_t* folder; const wchar_t* name; };
    for (const Case& c : std::initializer_list<Case>{
             {L"abc", L"", L"abc.lnk"},
             {L"abc.LNK", L"", L"abc.LNK"},
             {L"C:\\x\\Archiwin", L"", L"C:\\x\\Archiwin.lnk"},
             {L"C:\\x\\Archiwin.lnk", L"C:\\Pulpit", L"C:\\Pulpit\\Archiwin.lnk"},
             {L"Archiwin", L"C:\\Pulpit\\", L"C:\\Pulpit\\Archiwin.lnk"},
             {L".lnk", L"", L""},
             {L"C:\\x\\.LNK", L"", L""},
             {L"", L"C:\\Pulpit", L""},
             {L"C:\\x\\", L"", L""},
         })
        EXPECT_EQ(ShortcutFileName(c.value, c.folder), c.name) << c.value << L" in " << c.folder;
}
