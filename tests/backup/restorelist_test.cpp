// Names and paths of folder backups, and the restore list's comparison,
// modes and item texts.
#include <gtest/gtest.h>

#include "backup/entrypaths.h"
#include "backup/restorelist.h"
#include "util/textmarkup.h"

namespace {

constexpr DateTimeValue kOct31At1405 = 37560 + (14 * 60 + 5) / 1440.0;

TEST(EntryPaths, DefaultArchiveNameFromFolderAndTime) {
    EXPECT_EQ(DefaultArchiveName(L"c:\\program\\", L"C:\\Dane\\Firma Łódź\\", kOct31At1405),
              L"c:\\program\\kopia_c.dane.firma_lodz_021031_1405.cab");
    EXPECT_EQ(DefaultArchiveName(L"c:\\p\\", L"C:\\Dane\\Firma Łódź", kOct31At1405),
              L"c:\\p\\kopia_c.dane.firma_lodz_021031_1405.cab");
    EXPECT_EQ(ArchiveTimeStamp(37560 + 9 / 24.0 + 7 / 1440.0), L"_021031_0907");
}

TEST(EntryPaths, DriveRootIsRecordedWithoutItsBackslash) {
    EXPECT_EQ(BackupFolderText(L"D:\\"), L"D:");
    EXPECT_EQ(BackupFolderText(L"C:\\Dane\\"), L"C:\\Dane");
    EXPECT_EQ(BackupFolderText(L"C:\\Dane"), L"C:\\Dane");
}

TEST(EntryPaths, DirectoryInsideTheArchive) {
    const std::wstring info = L"c:\\prog\\!!kopia.tev";
    struct Case {
        const wchar_t* item;
        const wchar_t* folder;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Dane\\Firma\\a.txt", L"C:\\Dane\\Firma", L""},
        {L"C:\\Dane\\Firma\\sub\\a.txt", L"C:\\Dane\\Firma", L"sub"},
        {L"C:\\Dane\\Firma\\sub\\deeper\\a.txt", L"C:\\Dane\\Firma", L"sub\\deeper"},
        {L"c:\\DANE\\firma\\Sub\\a.txt", L"C:\\Dane\\Firma", L"Sub"},      // letter case of the folder
        {L"C:\\Dane\\Łódź\\Żółw\\a.txt", L"C:\\dane\\łÓdź", L"Żółw"},       // Polish letters, any case
        {L"D:\\a.txt", L"D:", L""},                                      // drive root
        {L"D:\\x\\y\\a.txt", L"D:", L"x\\y"},
        {L"c:\\prog\\!!kopia.tev", L"C:\\Dane\\Firma", L""},             // the information file
        {L"C:\\PROG\\!!KOPIA.TEV", L"C:\\Dane\\Firma", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(EntryRelPath(c.item, c.folder, info), c.expected) << c.item;
}

TEST(RestoreList, ComparisonWithTheDisk) {
    const DateTimeValue entryDate = 46366.111666666664;
    struct Case {
        std::optional<DiskFile> disk;
        const wchar_t* text;
        bool newOrNewer;
        bool existingDifferent;
    } cases[] = {
        {std::nullopt, L"", false, false},
        {DiskFile{false, 0, -1}, L" <b>nowy plik</b>", true, false},
        {DiskFile{true, entryDate, 100}, L" plik już istnieje,  ta sama data,  rozmiar ten sam.", false, false},
        // The same second reached by another computation.
        {DiskFile{true, 46366.111666666671, 100}, L" plik już istnieje,  ta sama data,  rozmiar ten sam.", false,
         false},
        {DiskFile{true, entryDate, 99}, L" plik już istnieje,  ta sama data,  ma <b>inny rozmiar</b>", true, true},
        {DiskFile{true, entryDate + 1, 100}, L" plik już istnieje,  plik w archiwum jest starszy,  rozmiar ten sam.",
         false, false},
        {DiskFile{true, entryDate + 2 / 86400.0, 100},
         L" plik już istnieje,  plik w archiwum jest starszy,  rozmiar ten sam.", false, false},
        {DiskFile{true, entryDate + 1, 5},
         L" plik już istnieje,  plik w archiwum jest starszy,  ma <b>inny rozmiar</b>", false, false},
        {DiskFile{true, entryDate - 1, 100},
         L" plik już istnieje,  plik w archiwum jest <b>nowszy</b>,  rozmiar ten sam.", true, true},
    };
    for (const Case& c : cases) {
        EntryComparison got = CompareWithDisk(c.disk, entryDate, 100);
        EXPECT_EQ(got.text, c.text);
        EXPECT_EQ(got.newOrNewer, c.newOrNewer) << got.text;
        EXPECT_EQ(got.existingDifferent, c.existingDifferent) << got.text;
    }
}

TEST(RestoreList, ModesCheckByTheFlags) {
    const EntryComparison fresh{L"", true, false}, newer{L"", true, true}, same{L"", false, false};
    struct Case {
        RestoreMode mode;
        bool fresh, newer, same;
    } cases[] = {
        {RestoreMode::All, true, true, true},
        {RestoreMode::NewAndNewer, true, true, false},
        {RestoreMode::ExistingOnly, false, true, false},
        {RestoreMode::None, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckedInMode(c.mode, fresh), c.fresh);
        EXPECT_EQ(CheckedInMode(c.mode, newer), c.newer);
        EXPECT_EQ(CheckedInMode(c.mode, same), c.same);
    }
}

TEST(RestoreList, ItemCarriesItsKeyAndShowsNamesAsTheyAre) {
    const std::wstring item =
        RestoreItemText(L"sub\\R&D <1>.txt", L"", L"sub\\R&D <1>.txt", 1536, 37560.5, L" <b>nowy plik</b>");
    EXPECT_EQ(HiddenData(item), L"sub\\R&D <1>.txt");
    EXPECT_EQ(item, L"<z>sub\\R&D <1>.txt</z><b>sub\\R&amp;D &lt;1&gt;.txt</b> (1,5 kB, czwartek, 31 października "
                    L"2002, 12:00)<br> <b>nowy plik</b>");
    // A name with "%" stays as it is.
    EXPECT_EQ(HiddenData(RestoreItemText(L"100%s.txt", L"", L"100%s.txt", 0, 0, L"")), L"100%s.txt");
}

TEST(RestoreList, CompressionLabelNamesTheKindAndTheRatio) {
    EXPECT_EQ(CompressionLabel({CabMethod::Lzx, 15}, 420, 1000), L"LZX 42%");
    EXPECT_EQ(CompressionLabel({CabMethod::Mszip, 0}, 1005, 1000), L"MSZIP 101%");
    EXPECT_EQ(CompressionLabel({CabMethod::None, 0}, 1, 3), L"bez kompresji 33%");
    EXPECT_EQ(CompressionLabel({CabMethod::Mszip, 0}, 120, 0), L"MSZIP -");
}

TEST(RestoreList, InformationFileIsKnownInAnyCase) {
    EXPECT_TRUE(IsInfoFileEntry(L"!!kopia.tev"));
    EXPECT_TRUE(IsInfoFileEntry(L"!!KOPIA.TEV"));
    EXPECT_FALSE(IsInfoFileEntry(L"sub\\!!kopia.tev"));
}

}  // namespace
