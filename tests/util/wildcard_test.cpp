#include <gtest/gtest.h>

#include "util/wildcard.h"

// The long name decides: the short-name look-alikes the system's search also
// returns for a mask must not match it.
TEST(Wildcard, MasksMatchLongNamesOnly) {
    struct Case { const wchar_t* name; const wchar_t* mask; bool matches; };
    for (const Case& c : std::initializer_list<Case>{
             {L"Faktury.dat", L"*.dat", true},
             {L"FAKTURY.DAT", L"*.dat", true},
             {L"umowa.data", L"*.dat", false},
             {L"baza.dat_old", L"*.dat", false},
             {L"x.dat.bak", L"*.dat", false},
             {L".dat", L"*.dat", true},
             {L"Kopia 244 Faktury.dat", L"kopia*.dat", true},
             {L"kopiarka.txt", L"kopia*.dat", false},
             {L"Faktury.dat.akz.20020619.dat", L"*.akz.*.dat", true},
             {L"Faktury.dat.akz.20020619.222217", L"*.akz.*.dat", false},
             {L"Papirek.exe.ini", L"*.exe.ini", true},
             {L"Papirek.exe.ini2", L"*.exe.ini", false},
             {L"Papirek.ini", L"*.exe.ini", false},
             {L"Łąka.lnk", L"*.LNK", true},
             {L"łąka.lnk", L"ŁĄKA.lnk", true},
             {L"a.lnk", L"?.lnk", true},
             {L"ab.lnk", L"?.lnk", false},
             {L"wyjatki.nip", L"wyjatki.nip", true},
             {L"wyjatki.nip.bak", L"wyjatki.nip", false},
             {L"bez kropki", L"*.*", true},
             {L"bez kropki", L"*", true},
             {L"abc", L"abc.", true},
             {L"abc.d", L"abc.", false},
             {L"aaab", L"*a*b", true},
             {L"aaac", L"*a*b", false},
         })
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << L" ~ " << c.mask;
}
