#include "util/textcase.h"

#include <gtest/gtest.h>

TEST(TextCase, PolishLettersChangeCaseWithoutTheSystemLocale) {
    EXPECT_EQ(UpperCase(L"zażółć gęślą jaźń"), L"ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(LowerCase(L"ZAŻÓŁĆ GĘŚLĄ JAŹŃ"), L"zażółć gęślą jaźń");
    // Neighbours of the Polish letters and characters without a case pair.
    EXPECT_EQ(UpperCase(L"äčěřšťůýžĺľőű"), L"ÄČĚŘŠŤŮÝŽĹĽŐŰ");
    EXPECT_EQ(UpperCase(L"ß÷µ1-"), L"ß÷µ1-");
    EXPECT_EQ(LowerCase(L"×Ÿ"), L"×ÿ");
}

TEST(TextCase, ComparisonsAndSearches) {
    EXPECT_TRUE(SameTextNoCase(L"Łódź", L"ŁÓDŹ"));
    EXPECT_FALSE(SameTextNoCase(L"Łódź", L"Lodz"));
    EXPECT_EQ(PosNoCase(L"ĄB", L"xxąbąb"), 3u);
    EXPECT_EQ(PosNoCase(L"", L"abc"), 0u);
    EXPECT_EQ(PosNoCase(L"abcd", L"abc"), 0u);
    EXPECT_TRUE(ContainsNoCase(L"KOPIA", L"tevKopiaZapasowa"));
    EXPECT_TRUE(StartsWithNoCase(L"c:\\program files\\tev\\", L"C:\\PROGRAM FILES\\TEV\\PAPIREK.EXE"));
    EXPECT_FALSE(StartsWithNoCase(L"", L"abc"));
    EXPECT_TRUE(EndsWithNoCase(L".CAB", L"kopia.cab"));
    EXPECT_TRUE(EndsWithNoCase(L"", L"kopia.cab"));
    EXPECT_FALSE(EndsWithNoCase(L"xkopia.cab", L"kopia.cab"));
}

TEST(TextCase, IndexOfFindsTheFirstMatchingEntry) {
    const std::vector<std::wstring> list = {L"Papirek.exe", L"FINOVO.EXE", L"kalkulon.ini"};
    EXPECT_EQ(IndexOfEnding(list, L".exe"), 0);
    EXPECT_EQ(IndexOfStart(list, L"kalk"), 2);
    EXPECT_EQ(IndexOfContaining(list, L"novo"), 1);
    EXPECT_EQ(IndexOfContaining(list, L"brak"), -1);
    EXPECT_EQ(IndexOfStart({}, L"a"), -1);
}

TEST(ReplaceAllNoCase, FollowsItsLoopRule) {
    struct Case {
        const wchar_t *old, *replacement, *text, *expected;
    } cases[] = {
        {L"GMT", L" ", L"x gmt y", L"x   y"},
        {L"  ", L" ", L"a     b  c", L"a b c"},        // runs collapse
        {L"a", L"a", L"aAa", L"aAa"},                  // identical: nothing
        {L"a", L"A", L"aaa", L"Aaa"},                  // finds its own result first and stops
        {L"ab", L"xyz", L"AB-ab-Ab", L"xyz-xyz-xyz"},
        {L"a", L"aa", L"a", L"aa"},                    // never loops forever
        {L"ó", L"o", L"ÓÓó", L"ooo"},
        {L"xy", L"y", L"xxyy", L"xyy"},                // a match formed before p by the join ends it
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        ReplaceAllNoCase(c.old, c.replacement, text);
        EXPECT_EQ(text, c.expected) << c.text;
    }
}
