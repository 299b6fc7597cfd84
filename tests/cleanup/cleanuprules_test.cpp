#include <gtest/gtest.h>

#include "cleanup/cleanuprules.h"
#include "util/calendar.h"

namespace {

constexpr DateTimeValue kSecond = 1.0 / 86400;

DateTimeValue At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
    return *EncodeDate(y, m, d) + *EncodeTime(h, n, s);
}

}  // namespace

TEST(CleanupNames, CopiesOfDataFiles) {
    struct Case { const wchar_t* name; bool small, emergency; };
    for (const Case& c : std::initializer_list<Case>{
             {L"Kopia 244 Faktury.dat", true, false},
             {L"kopia 107 faktury.dat", true, false},
             {L"KOPIA 1 x", true, false},
             {L"Kopia Faktury.dat", false, false},
             {L"Kopia 24a Faktury.dat", false, false},
             {L"Kopia 244 ", false, false},
             {L"kopiarka.dat", false, false},
             {L"Faktury.dat.akz.20020619.222217", false, true},
             {L"Faktury.dat.akz.x.dat", false, true},
             {L"Faktury.AKZ.1.DAT", false, true},
             {L".akz.1.dat", false, false},
             {L"Faktury.dat.akz.2002061.222217", false, false},
             {L"Faktury.dat.akz..dat", false, false},
             {L"_akz_020619_222217_42Faktury.dat.akz", false, true},
             {L"_AKZ_x.AKZ", false, true},
             {L"akz_1Faktury.dat.akz", false, false},
             {L"~Faktury.dat.12.zapis", false, false},
             {L"Faktury.dat", false, false},
             {L"umowa.data", false, false},
         }) {
        EXPECT_EQ(IsSmallCopyName(c.name), c.small) << c.name;
        EXPECT_EQ(IsEmergencyCopyName(c.name), c.emergency) << c.name;
    }
}

// Midnight seven days before today is not older than a week; a second
// before it is. The time of day of "now" does not move the boundary.
TEST(CleanupRules, AWeekEndsAtMidnightSevenDaysAgo) {
    for (DateTimeValue now : {At(2026, 12, 10, 0, 0, 1), At(2026, 12, 10, 12), At(2026, 12, 10, 23, 59, 59)}) {
        EXPECT_EQ(WeekBoundary(now), At(2026, 12, 3));
        EXPECT_FALSE(OlderThanWeek(At(2026, 12, 3), now));
        EXPECT_TRUE(OlderThanWeek(At(2026, 12, 3) - kSecond, now));
        EXPECT_FALSE(OlderThanWeek(At(2026, 12, 9), now));
        EXPECT_FALSE(OlderThanWeek(0, now));  // no date
    }
}

// What each mode ticks on each page. A file the TEV programs do not name (a
// foreign "*.dat", a foreign program) is never ticked by a mode or a rule.
TEST(CleanupRules, ModesAndRules) {
    const DateTimeValue now = At(2026, 12, 10, 12);
    const ItemFacts old{.written = At(2026, 11, 1)};
    const ItemFacts recent{.written = At(2026, 12, 9)};
    const ItemFacts gone{.exists = false, .written = At(2026, 11, 1)};
    const ItemFacts foreignOld{.written = At(2026, 11, 1), .tevFile = false};
    const ItemFacts inUse{.inUse = true};
    const ItemFacts notInUse{};
    const ItemFacts foreign{.tevFile = false};
    const ItemFacts linkToChecked{.targetChecked = true};
    const ItemFacts brokenLink{.loadable = false};
    const ItemFacts otherLink{};
    using P = CleanupPage;
    using M = CleanupMode;
    struct Case { P page; ItemFacts item; bool everything, unneeded; const char* what; };
    for (const Case& c : std::initializer_list<Case>{
             {P::Programy, old, true, true, "old program"},
             {P::Programy, recent, true, false, "recent program"},
             {P::Programy, foreignOld, false, false, "foreign program"},
             {P::KopieZapasowe, old, true, true, "old copy"},
             {P::KopieZapasowe, recent, true, false, "recent copy"},
             {P::KopieZapasowe, gone, true, false, "vanished copy"},
             {P::BazyDanych, inUse, true, false, "data file in use"},
             {P::BazyDanych, notInUse, true, true, "data file not in use"},
             {P::BazyDanych, foreign, false, false, "foreign .dat"},
             {P::PlikiINI, inUse, true, false, "shared settings"},
             {P::PlikiINI, notInUse, true, true, "stray tev.ini"},
             {P::PlikiINI, foreign, false, false, "foreign x.exe.ini"},
             {P::Skroty, linkToChecked, true, true, "shortcut to a program removed"},
             {P::Skroty, brokenLink, true, true, "unreadable shortcut"},
             {P::Skroty, otherLink, false, false, "shortcut to a program kept"},
         }) {
        EXPECT_EQ(ModeTicks(c.page, M::RemoveEverything, c.item, now), c.everything) << c.what;
        EXPECT_EQ(ModeTicks(c.page, M::RemoveUnneeded, c.item, now), c.unneeded) << c.what;
        EXPECT_EQ(RuleTicks(c.page, c.item, now), c.unneeded) << c.what;
        EXPECT_FALSE(ModeTicks(c.page, M::ChooseByHand, c.item, now)) << c.what;
    }
}

TEST(CleanupRules, ItemsEndWithTheirPath) {
    const DateTimeValue today = At(2026, 12, 10, 12);
    EXPECT_EQ(ProgramItem({L"Papirek (Tevsoft) 1.2.3.4", L"faktury", L"C:\\TEV\\papirek.exe", L"Papirek", 2048,
                           At(2026, 12, 9, 8)},
                          today),
              L"<b>Papirek (Tevsoft) 1.2.3.4</b> z faktury w C:\\TEV\\papirek.exe<br>Papirek <b>(2,0 kB)</b><br>"
              L"ostatnio instalowany: wczoraj<z>C:\\TEV\\papirek.exe</z>");
    EXPECT_EQ(ShortcutItem({L"Papirek", L"C:\\Pulpit\\Papirek.lnk", L"C:\\TEV\\papirek.exe", L"1.2.3.4", L"faktury"}),
              L"<b>Papirek</b>  w C:\\Pulpit\\<br>wskazuje na: C:\\TEV\\papirek.exe<br>Papirek 1.2.3.4 z faktury"
              L"<z>C:\\Pulpit\\Papirek.lnk</z>");
    EXPECT_EQ(CopyItem(L"C:\\D\\Kopia 1 a.dat", 10, today, today),
              L"C:\\D\\Kopia 1 a.dat<br>dzisiaj, 10 B<z>C:\\D\\Kopia 1 a.dat</z>");
    std::wstring inUse = FileItem(L"C:\\D\\Faktury.dat", 10, today, today, true);
    EXPECT_EQ(inUse.substr(0, 4), L"*<b>");
    EXPECT_EQ(FileItem(L"C:\\D\\a.dat", 10, today, today, false),
              L"<b>a.dat</b>  w C:\\D\\<br>10 B, czwartek, 10 grudnia 2026 <b>(dzisiaj)</b><z>C:\\D\\a.dat</z>");
}

// Totals are 64-bit: three files of 1 GiB are 3 GiB, not a negative number.
TEST(CleanupRules, TotalsBeyondTwoGigabytes) {
    const std::int64_t gib = std::int64_t{1} << 30;
    EXPECT_EQ(TotalsText(3, 3 * gib), L"<b>3</b> plików, <b>3,0 GB</b>");
    EXPECT_EQ(SummaryText(3, 3 * gib), L"<b>Czy na pewno usunąć 3 plików, 3,0 GB</b>");
    EXPECT_EQ(DeletionQuestion(3, 3 * gib),
              L"Czy na pewno usunąć 3 plików, 3,0 GB\r\nPliki usunięte być może wylądują w Koszu i będą możliwe do "
              L"odzyskania, a być może już nie...");
    EXPECT_EQ(DeletedText(2, 5 * gib), L"Usunąłem łącznie 2 plików, 5,0 GB.");
}

// A file checked on two pages is one file of the summary.
TEST(CleanupRules, SummaryListsEachFileOnce) {
    EXPECT_EQ(SummaryPaths({L"C:\\d\\b.dat", L"C:\\D\\A.dat.akz.1.dat", L"c:\\d\\a.dat.akz.1.dat", L"C:\\d\\Ą.dat",
                            L"C:\\d\\a.dat"}),
              (std::vector<std::wstring>{L"C:\\d\\a.dat", L"C:\\D\\A.dat.akz.1.dat", L"C:\\d\\b.dat",
                                         L"C:\\d\\Ą.dat"}));
}
