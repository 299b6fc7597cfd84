#include "util/textmarkup.h"

#include <gtest/gtest.h>

#include "util/calendar.h"

TEST(RemoveSections, RemovesCompleteSections) {
    std::wstring s = L"a<HEAD>x</head>b<head>y";
    RemoveSections(L"<HEAD", L"</HEAD>", s);
    EXPECT_EQ(s, L"ab<head>y");
    s = L"<b>bold</b> <i>x";
    RemoveSections(L"<", L">", s);
    EXPECT_EQ(s, L"bold x");
    std::wstring many;
    for (int i = 0; i < 2100; ++i) many += L"<t>";
    RemoveSections(L"<", L">", many);
    EXPECT_EQ(many.size(), 52u * 3);  // at most 2048 removals per call
}

TEST(MarkupToText, PlainText) {
    struct Case {
        const wchar_t *markup, *expected;
    } cases[] = {
        {L"<b>jeden</b><br>dwa &lt;trzy&gt;", L"jeden\r\ndwa <trzy>\r\n"},
        {L"a<BR><br>b", L"a\r\n   \r\nb\r\n"},
        {L"a<hr>b", L"a\r\n-\r\nb\r\n"},
        {L"x<ind x=\"10\">y", L"x\ty\r\n"},
        {L"<head><title>t</title></head>tekst   z    odstępami", L"tekst z odstępami\r\n"},
        {L"a<script>alert(1)</script>b", L"ab\r\n"},
        {L"_linia\r\n\r\n\r\n\r\nkoniec", L"   linia\r\n\r\nkoniec\r\n"},
        {L"&nbsp;&copy;&para;&pound;", L" (c)\r\n&\r\n"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring s = c.markup;
        MarkupToText(s, false);
        EXPECT_EQ(s, c.expected) << c.markup;
    }
}

TEST(MarkupToText, KeepsBasicTags) {
    std::wstring s = L"<b>a</b> <font size=\"7\"><i>b</i></font><hr><u>c</u><br>";
    MarkupToText(s, true);
    EXPECT_EQ(s, L"<b>a</b> <i>b</i><hr><u>c</u>\r\n");
}

TEST(ExpandMacros, BothForms) {
    std::wstring s = L"[*f7]Data: #DATA, [*data], #*DATADŁUGA; program [*PATH]";
    ExpandMacros(s, *EncodeDate(2002, 12, 24), L"C:\\tev\\archiwin.exe");
    EXPECT_EQ(s, L"<font size=\"7\">Data: 24 grudnia 2002, 24 grudnia 2002, wtorek, 24 grudnia 2002; "
                 L"program C:\\tev\\archiwin.exe");
}

TEST(Colours, HexAndNegativeRed) {
    EXPECT_EQ(ColorToHex(0x00336699), L"#996633");
    EXPECT_EQ(MarkNegativeRed(L"-12,00"), L"<font color=\"#FF0000\">-12,00</font></b>");
    EXPECT_EQ(MarkNegativeRed(L"12,00"), L"12,00</b>");
}
