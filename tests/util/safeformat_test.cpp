#include "util/safeformat.h"

#include <gtest/gtest.h>

TEST(SafeFormat, Directives) {
    struct Case {
        const wchar_t* pattern;
        std::vector<FormatArg> args;
        const wchar_t* expected;
    } cases[] = {
        {L"okienko zniknie za %d sek.", {15}, L"okienko zniknie za 15 sek."},
        {L"%s: %s", {L"Plik", std::wstring(L"a.cab")}, L"Plik: a.cab"},
        {L"%.02d:%2.2d:%4.4d", {5, 7, 42}, L"05:07:0042"},
        {L"%.3d|%5d|%-5d|", {-7, 12, 12}, L"-007|   12|12   |"},
        {L"%1:s %0:s %s", {L"a", L"b"}, L"b a b"},
        {L"%x %.4X %x", {255, 10, -1}, L"FF 000A FFFFFFFF"},
        {L"%x", {-1LL}, L"FFFFFFFFFFFFFFFF"},
        {L"%f|%.1f|%.3f|%.0f", {1.5, 0.05, -2.0, 2.5}, L"1,50|0,1|-2,000|3"},
        {L"%.2f", {0.125}, L"0,13"},            // halves away from zero
        {L"%.2f", {-0.001}, L"0,00"},
        {L"%.2n", {1234567.891}, L"1 234 567,89"},
        {L"%.2n zł", {FormatArg::Scaled(12345600, 4)}, L"1 234,56 zł"},
        {L"%n", {999.999}, L"1 000,00"},
        {L"%.0n", {-1234}, L"-1 234"},
        {L"%g|%g|%g|%g", {0.5, 100.0, 1e20, 1.5e-7}, L"0,5|100|1E20|1,5E-7"},
        {L"%g", {0.1 + 0.2}, L"0,3"},
        {L"%.3s|%6s|%-6s|", {L"abcdef", L"ab", L"ab"}, L"abc|    ab|ab    |"},
        {L"100%% %s", {L'x'}, L"100% x"},
        {L"%D %S", {3, L"x"}, L"3 x"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeFormat(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(SafeFormat, PointerHasAllDigits) {
    const std::wstring text = SafeFormat(L"%p", {static_cast<const void*>(nullptr)});
    EXPECT_EQ(text, std::wstring(2 * sizeof(void*), L'0'));
}

TEST(SafeFormat, FailuresGiveTheMessageAndThePattern) {
    const wchar_t* patterns[] = {L"%d dni temu", L"%s i %s", L"%q", L"koniec %", L"%.2f", L"%d"};
    const std::vector<FormatArg> args[] = {{L"tekst"}, {L"jeden"}, {1}, {1}, {L"x"}, {1.5}};
    for (size_t i = 0; i < std::size(patterns); ++i) {
        const std::wstring text = SafeFormat(patterns[i], args[i]);
        const std::wstring tail = std::wstring(L"\r\n") + patterns[i];
        ASSERT_GT(text.size(), tail.size()) << patterns[i];
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << patterns[i];
        EXPECT_FALSE(TryFormat(patterns[i], {args[i].front()})) << patterns[i];
    }
}

TEST(SafeFormat, LongTextArgumentsAreShortened) {
    std::wstring name(1500, L'a');
    name += L' ';
    name += std::wstring(499, L'b');
    const std::wstring text = SafeFormat(L"[%s]", {name});
    // No space in the first 1024 characters: cut back to half of them.
    EXPECT_EQ(text, L"[" + std::wstring(512, L'a') + L"\u2026]");

    std::wstring spaced = std::wstring(600, L'a') + L' ' + std::wstring(1399, L'b');
    EXPECT_EQ(SafeFormat(L"%s", {spaced}), std::wstring(600, L'a') + L" \u2026");
    EXPECT_EQ(SafeFormat(L"%s", {std::wstring(1024, L'c')}), std::wstring(1024, L'c'));
}
