#include <gtest/gtest.h>

#include "util/archivename.h"
#include "util/paths.h"

TEST(Paths, Backslashes) {
    struct Case { std::wstring path, added, removed; };
    for (const Case& c : std::initializer_list<Case>{
             {L"C:\\", L"C:\\", L"C:"},
             {L"C:\\dane", L"C:\\dane\\", L"C:\\dane"},
             {L"", L"\\", L""},
             {L"\\\\", L"\\\\", L"\\"},
         }) {
        std::wstring added = c.path, removed = c.path;
        AddBackslash(added);
        RemoveBackslash(removed);
        EXPECT_EQ(added, c.added) << c.path;
        EXPECT_EQ(removed, c.removed) << c.path;
        EXPECT_EQ(WithBackslash(c.path), c.added) << c.path;
    }
}

TEST(Paths, DriveRootAndParent) {
    EXPECT_EQ(DriveRoot(L"d:\\a\\b"), L"d:\\");
    EXPECT_EQ(DriveRoot(L"d:x"), L"d:\\");
    EXPECT_EQ(DriveRoot(L"d:"), L"d:");
    EXPECT_EQ(DriveRoot(L"\\\\serwer\\dane\\x"), L"\\\\serwer\\dane\\x");
    EXPECT_EQ(DriveRoot(L"dane\\x"), L"dane\\x");

    EXPECT_EQ(ParentDir(L"C:\\a\\b\\"), L"C:\\a\\");
    EXPECT_EQ(ParentDir(L"C:\\a\\b"), L"C:\\a\\");
    EXPECT_EQ(ParentDir(L"C:\\a\\"), L"C:\\");
    EXPECT_EQ(ParentDir(L"C:\\x"), L"C:\\x");
    EXPECT_EQ(ParentDir(L"C:\\"), L"C:\\");
    EXPECT_EQ(ParentDir(L""), L"");
}

TEST(Paths, Parts) {
    EXPECT_EQ(FileNamePart(L"C:\\a\\Łąka.dat"), L"Łąka.dat");
    EXPECT_EQ(FileNamePart(L"c:tev.ini"), L"tev.ini");
    EXPECT_EQ(FileNamePart(L"plik"), L"plik");
    EXPECT_EQ(FileNamePart(L"C:/a\\b/c.txt"), L"c.txt");
    EXPECT_EQ(FileNamePart(L"/tmp/kopia.cab"), L"kopia.cab");
    EXPECT_EQ(DirectoryPart(L"C:\\a\\b.txt"), L"C:\\a\\");
    EXPECT_EQ(DirectoryPart(L"b.txt"), L"");
    EXPECT_EQ(DirectoryPart(L"C:/a\\b/c.txt"), L"C:/a\\b/");
    EXPECT_EQ(ExtensionPart(L"C:\\a.b\\kopia.cab"), L".cab");
    EXPECT_EQ(ExtensionPart(L"C:\\a.b\\kopia"), L"");
}

TEST(ArchiveName, FolderPaths) {
    EXPECT_EQ(FolderArchiveName(L"C:\\Dane\\Firma"), L"c.dane.firma");
    EXPECT_EQ(FolderArchiveName(L"D:\\Moje Pliki\\Łąka"), L"d.moje_pliki.laka");
    EXPECT_EQ(FolderArchiveName(L"\\\\serwer\\Udział (2)\\ŻÓŁW"), L"..serwer.udzial__2_.zolw");
    // Only the first 36 characters count.
    EXPECT_EQ(FolderArchiveName(L"C:\\12345678901234567890123456789012\\dalej"),
              L"c.12345678901234567890123456789012.");
}

TEST(ArchiveName, StripPolishLetters) {
    EXPECT_EQ(StripPolishLetters(L"ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ"), L"acelnoszz ACELNOSZZ");
    EXPECT_EQ(StripPolishLetters(L"Müller ß"), L"Müller ß");
}
