#include <gtest/gtest.h>

#include <set>

#include "util/tables.h"

TEST(Tables, List) {
    EXPECT_STREQ(Table(0).id, L"tts_Brak");
    EXPECT_STREQ(Table(3).defaultFileName, L"Użytkownicy.dat");
    EXPECT_STREQ(Table(11).defaultFileName, L"Moje Finanse.fnv");
    EXPECT_STREQ(Table(43).id, L"tts_StaleTrasy");
    EXPECT_STREQ(Table(44).id, L"tts_Brak");
    EXPECT_STREQ(Table(-1).id, L"tts_Brak");
    std::set<std::wstring> ids, names;
    for (int t = 0; t < kTableCount; ++t) {
        ids.insert(Table(t).id);
        names.insert(Table(t).defaultFileName);
    }
    EXPECT_EQ(ids.size(), 44u);
    EXPECT_EQ(names.size(), 44u);
}

TEST(Tables, ReferenceSet) {
    std::set<int> reference;
    for (int t = -5; t < 100; ++t)
        if (IsReferenceTable(t)) reference.insert(t);
    EXPECT_EQ(reference, (std::set<int>{0, 9, 12, 24, 25, 32, 41, 42}));
}
