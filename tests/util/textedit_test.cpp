#include "util/textedit.h"

#include <gtest/gtest.h>

TEST(TextEdit, TrimAndPad) {
    std::wstring s = L"**a*b**";
    TrimChar(s, L'*');
    EXPECT_EQ(s, L"a*b");
    s = L"   ";
    TrimSpaces(s);
    EXPECT_EQ(s, L"");
    EXPECT_EQ(PadWithChar(L'0', true, 4, L"7"), L"0007");
    EXPECT_EQ(PadWithSpaces(false, 4, L"ab"), L"ab  ");
    EXPECT_EQ(PadWithSpaces(true, 2, L"abc"), L"abc");
    EXPECT_EQ(TakNieText(true), L"tak");
    EXPECT_EQ(TakNieText(false), L"nie");
}

TEST(TextEdit, ShortenText) {
    EXPECT_EQ(ShortenText(10, L"krótki"), L"krótki");
    EXPECT_EQ(ShortenText(0, L"bez limitu, bez limitu"), L"bez limitu, bez limitu");
    EXPECT_EQ(ShortenText(12, L"Ala ma kota i psa"), L"Ala ma kota \u2026");
    EXPECT_EQ(ShortenText(6, L"Abcdefghij"), L"Abc\u2026");  // no space: half of the limit
}

TEST(TextEdit, NewlinesCountsAndFilters) {
    EXPECT_EQ(NewlinesToBreaks(L"a\r\nb\tc\nd"), L"a<br>b c d");
    EXPECT_EQ(CountChar(L';', L"a;b;;c"), 3u);
    EXPECT_EQ(DigitsOnly(L"NIP 123-45-67"), L"1234567");
    EXPECT_EQ(LettersOnly(L"Łódź 90-001!"), L"Łódź");
    EXPECT_EQ(NameCharsOnly(L"kopia (1)_ż.cab"), L"kopia1_ż.cab");
    EXPECT_EQ(NameCharsAndSpacesOnly(L"kopia (1)_ż.cab"), L"kopia 1_ż.cab");
}

TEST(CapitalizeWords, NamesAndAddresses) {
    struct Case {
        const wchar_t *text, *expected;
    } cases[] = {
        {L"ul. jana pawła ii", L"ul. Jana Pawła II"},
        {L"JAN KOWALSKI", L"Jan Kowalski"},
        {L"al. jana iii sobieskiego 14", L"al. Jana III Sobieskiego 14"},
        {L"dom w lesie z ogrodem", L"Dom w Lesie z Ogrodem"},
        {L"firma sp. z o.o.", L"Firma Sp. z O.o."},
        {L"św. łukasza", L"św. Łukasza"},
        {L"pius xii", L"Pius XII"},
        // Roman-looking letters inside names stay as they are.
        {L"ul. marii konopnickiej", L"ul. Marii Konopnickiej"},
        {L"zofii iv", L"Zofii IV"},
    };
    for (const auto& c : cases) EXPECT_EQ(CapitalizeWords(c.text), c.expected) << c.text;
}

TEST(SplitInTwoLines, PrintedFormLines) {
    const std::wstring fifty(50, L'a');
    EXPECT_EQ(SplitInTwoLines(fifty), std::make_pair(fifty, std::wstring()));
    const std::wstring words = std::wstring(30, L'a') + L" " + std::wstring(19, L'b') + L" " + std::wstring(20, L'c');
    EXPECT_EQ(SplitInTwoLines(words),
              std::make_pair(std::wstring(30, L'a') + L" " + std::wstring(19, L'b') + L" ", std::wstring(20, L'c')));
    const std::wstring early = std::wstring(10, L'a') + L" " + std::wstring(80, L'b');
    EXPECT_EQ(SplitInTwoLines(early), std::make_pair(early.substr(0, 50), early.substr(50)));
    const std::wstring longer(120, L'x');
    EXPECT_EQ(SplitInTwoLines(longer), std::make_pair(std::wstring(50, L'x'), std::wstring(50, L'x')));
}
