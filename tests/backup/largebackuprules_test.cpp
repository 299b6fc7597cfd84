// Names of large backups, which files the pruning and the restore list
// consider, the age counted from today's midnight, and the texts shown.
#include <gtest/gtest.h>

#include "backup/largebackuprules.h"
#include "util/calendar.h"
#include "util/textmarkup.h"

namespace {

DateTimeValue At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return *EncodeDate(year, month, day) + *EncodeTime(hour, minute, second);
}

TEST(LargeBackupRules, NamesCarryTheMomentAndANumberBeforeTheExtension) {
    EXPECT_EQ(LargeBackupName(At(2002, 6, 19, 22, 22, 17)), L"tevKopiaZapasowa_20020619_222217.tev");
    EXPECT_EQ(LargeBackupName(At(2026, 1, 2, 3, 4, 5)), L"tevKopiaZapasowa_20260102_030405.tev");
    EXPECT_EQ(LargeBackupName(At(2002, 6, 19, 22, 22, 17), 57), L"tevKopiaZapasowa_20020619_222217_57.tev");
    EXPECT_EQ(LargeBackupName(At(2002, 6, 19, 22, 22, 17), 0), L"tevKopiaZapasowa_20020619_222217_0.tev");
    // A numbered name is still a backup to list and to prune.
    EXPECT_TRUE(IsPrunableBackupName(LargeBackupName(At(2002, 6, 19), 57)));
    EXPECT_TRUE(IsListedBackupName(LargeBackupName(At(2002, 6, 19), 57)));
    // 999 ms round up into the next second, never to "60".
    EXPECT_EQ(LargeBackupName(At(2002, 6, 19, 23, 59, 59) + 0.9999 / 86400), L"tevKopiaZapasowa_20020620_000000.tev");
}

TEST(LargeBackupRules, WhatThePruningAndTheListConsider) {
    struct Case {
        const wchar_t* name;
        bool pruned;
        bool listed;
    } cases[] = {
        {L"tevKopiaZapasowa_20020619_222217.tev", true, true},
        {L"TEVKOPIAZAPASOWA_20020619_222217.TEV", true, true},
        {L"tevKopia_stara.cab", true, true},
        {L"Moja tevKopiaZapasowa_20020619_222217.tev", false, true},  // the user's own name before it
        {L"x_tevKopia.cab", false, true},
        {L"tevKopiaZapasowa_20020619_222217.tev57", false, false},   // the old, unreachable form
        {L"tevKopiaZapasowa_20020619_222217.tevtmp", false, false},
        {L"~Archiwin-12-1.tmp", false, false},
        {L"kopia.tev", false, false},
        {L"tevKopia.tev", true, true},  // nothing between "tevKopia" and the extension is still a name
        {L"tevKopi.tev", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPrunableBackupName(c.name), c.pruned) << c.name;
        EXPECT_EQ(IsListedBackupName(c.name), c.listed) << c.name;
    }
}

TEST(LargeBackupRules, OnlyNumberedSmallCopiesArePruned) {
    EXPECT_TRUE(IsNumberedSmallCopy(L"Kopia 244 Faktury.dat", L"Faktury.dat"));
    EXPECT_TRUE(IsNumberedSmallCopy(L"kopia 107 faktury.DAT", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Kopia przed remanentem Faktury.dat", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Kopia 24 4 Faktury.dat", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Kopia  Faktury.dat", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Kopia 244 Stare Faktury.dat", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Faktury.dat", L"Faktury.dat"));
    EXPECT_FALSE(IsNumberedSmallCopy(L"Kopia 244 Faktury.dat.akz", L"Faktury.dat"));
}

TEST(LargeBackupRules, AgeCountsFromTodaysMidnight) {
    const DateTimeValue made = At(2026, 11, 19, 15, 0);  // 15:00
    // 21 days later at any hour the file is 20 days and 9 hours old.
    EXPECT_DOUBLE_EQ(AgeInDays(made, At(2026, 12, 10, 23, 59)), 20.375);
    EXPECT_FALSE(OldEnough(made, At(2026, 12, 10, 23, 59), 21));
    // From the next calendar day on it has reached 21 days.
    EXPECT_TRUE(OldEnough(made, At(2026, 12, 11, 0, 0), 21));
    // A tie counts: made at midnight, 21 days ago.
    EXPECT_TRUE(OldEnough(At(2026, 11, 19), At(2026, 12, 10, 8, 0), 21));
    EXPECT_FALSE(OldEnough(At(2026, 11, 19) + 1.0 / 86400, At(2026, 12, 10, 8, 0), 21));
    // Day count 0: anything made before today's midnight; nothing of today.
    EXPECT_TRUE(OldEnough(At(2026, 12, 9, 23, 59), At(2026, 12, 10, 12, 0), 0));
    EXPECT_TRUE(OldEnough(At(2026, 12, 10, 0, 0), At(2026, 12, 10, 12, 0), 0));
    EXPECT_FALSE(OldEnough(At(2026, 12, 10, 0, 1), At(2026, 12, 10, 12, 0), 0));
    // A file from the future is never old.
    EXPECT_FALSE(OldEnough(At(2027, 1, 1), At(2026, 12, 10), 0));
}

TEST(LargeBackupRules, ReportsInThousandsOfBytesRoundedDown) {
    EXPECT_EQ(KiloBytes(999), 0);
    EXPECT_EQ(KiloBytes(1000), 1);
    EXPECT_EQ(KiloBytes(1999), 1);
    EXPECT_EQ(DayNumberText(At(2026, 12, 10, 23, 59)), L"46366");
    EXPECT_EQ(LargeBackupReport(L"C:\\k\\tevKopiaZapasowa_20261210_120000.tev", 1234567, 3, 4.0 / 86400),
              L"Kopia zapasowa została wykonana pomyślnie.\r\nC:\\k\\tevKopiaZapasowa_20261210_120000.tev\r\n"
              L"- zajmuje: 1234 kB\r\n- zawiera 3 pliki\r\nWykonanie tej kopii trwało 5 sek.");
    EXPECT_NE(LargeBackupReport(L"x", 0, 1, 0).find(L"- zawiera 1 plik\r\n"), std::wstring::npos);
    EXPECT_NE(LargeBackupReport(L"x", 0, 12, 0).find(L"- zawiera 12 plików\r\n"), std::wstring::npos);
    EXPECT_EQ(PruneSummary(2, 4999),
              L"Usunąłem stare, niepotrzebne kopie zapasowe.\r\nLiczba usuniętych plików: 2\r\n"
              L"Zaoszczędziłem ogółem: 4 kB");
}

TEST(LargeBackupRules, ListItemsHideTheirKeysAndShowNamesLiterally) {
    const std::wstring path = L"D:\\Kopie & stare\\tevKopiaZapasowa_20261208_090000.tev";
    const std::wstring item = AvailableBackupItem(path, At(2026, 12, 8, 9, 0), At(2026, 12, 10, 12, 0), 2048);
    EXPECT_EQ(HiddenData(item), path);
    EXPECT_EQ(item,
              L"D:\\Kopie &amp; stare\\tevKopiaZapasowa_20261208_090000.tev<br><b>przedwczoraj, 2,0 kB</b>"
              L"<z>" + path + L"</z> <a href=\"" + path + L"\">Odtwórz z tej kopii</a>");

    const std::wstring entry =
        BackupEntryItem(L"Faktury.dat", L"C:\\Dane\\Faktury.dat", L"ttsFaktury", At(2026, 12, 8, 9, 5), 512);
    EXPECT_EQ(HiddenData(entry), L"Faktury.dat|C:\\Dane\\Faktury.dat");
    EXPECT_EQ(entry, L"<z>Faktury.dat|C:\\Dane\\Faktury.dat</z> <b>Faktury.dat</b>  (ttsFaktury) 8 grudnia 2026, "
                     L"9:05 - 512 B<br>jako: <a href=\"Faktury.dat|C:\\Dane\\Faktury.dat\">C:\\Dane\\Faktury.dat</a>");
    // No table: the identifier's own brackets, and an empty "jako:" part.
    const std::wstring unknown = BackupEntryItem(L"obcy.txt", L"", L"(nieznany plik!)", 0, 0);
    EXPECT_NE(unknown.find(L"<b>obcy.txt</b>  (nieznany plik!) - - 0 B<br>jako: <a href=\"obcy.txt|\"></a>"),
              std::wstring::npos)
        << unknown;
}

}  // namespace
