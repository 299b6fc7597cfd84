#include "util/numberwords.h"

#include <gtest/gtest.h>

#include "util/roman.h"

TEST(PluralFormat, FormFollowsTheCount) {
    struct Case {
        long long n;
        const wchar_t* expected;
    } cases[] = {{1, L"1 plik"},     {2, L"2 pliki"},   {5, L"5 plików"},   {12, L"12 plików"},
                 {22, L"22 pliki"},  {25, L"25 plików"}, {0, L"0 plików"},  {111, L"111 plików"},
                 {112, L"112 plików"}, {104, L"104 pliki"}, {1013, L"1013 plików"}, {-2, L"-2 plików"}, {20, L"20 plików"}, {10, L"10 plików"}};
    for (const auto& c : cases) EXPECT_EQ(PluralFormat(L"%d %s", L"plik", L"pliki", L"plików", c.n), c.expected);
    EXPECT_EQ(PluralWordsFormat(L"%s %s", L"plik", L"pliki", L"plików", 3), L"trzy pliki");
    EXPECT_EQ(PluralFormat(L"%s %s", L"plik", L"pliki", L"plików", 3), L"--- błąd ---");
}

TEST(NumberInWords, Numbers) {
    struct Case {
        long long n;
        const wchar_t* expected;
    } cases[] = {
        {0, L"zero"},
        {7, L"siedem"},
        {19, L"dziewiętnaście"},
        {20, L"dwadzieścia"},
        {21, L"dwadzieścia jeden"},
        {100, L"sto"},
        {115, L"sto piętnaście"},
        {999, L"dziewięćset dziewięćdziesiąt dziewięć"},
        {1234, L"jeden tysiąc dwieście trzydzieści cztery"},
        {5000, L"pięć tysięcy "},
        {22000, L"dwadzieścia dwa tysiące "},
        {112000, L"sto dwanaście tysięcy "},
        {14000000, L"czternaście milionów "},
        {1001000, L"jeden milion jeden tysiąc "},
        {-1000001, L"minus jeden milion jeden"},
        {-1, L"minus jeden"},
        {345678912, L"trzysta czterdzieści pięć milionów sześćset siedemdziesiąt osiem tysięcy dziewięćset dwanaście"},
        {999999999, L"dziewięćset dziewięćdziesiąt dziewięć milionów dziewięćset dziewięćdziesiąt dziewięć tysięcy "
                    L"dziewięćset dziewięćdziesiąt dziewięć"},
        {1000000000, L"### za dużo! ;) ###"},
        {-1000000000, L"### za dużo! ;) ###"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberInWords(c.n), c.expected) << c.n;
}

TEST(RomanNumeral, Numbers) {
    struct Case {
        int n;
        const wchar_t* expected;
    } cases[] = {{1, L"I"},         {4, L"IV"},           {9, L"IX"},      {14, L"XIV"},     {40, L"XL"},
                 {90, L"XC"},       {400, L"CD"},         {1994, L"MCMXCIV"}, {3998, L"MMMCMXCVIII"},
                 {3999, L"3999"},   {0, L"0"},            {-5, L"-5"},     {12, L"XII"}};
    for (const auto& c : cases) EXPECT_EQ(RomanNumeral(c.n), c.expected) << c.n;
}
