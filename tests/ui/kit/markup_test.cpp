#include "ui/kit/markup.h"

#include <gtest/gtest.h>

namespace {

MarkupTag TagOf(const std::wstring& markup) {
    auto tokens = TokenizeMarkup(markup);
    return tokens.size() == 1 && tokens[0].kind == MarkupToken::Kind::Tag ? tokens[0].tag : MarkupTag::Unknown;
}

TEST(MarkupTokens, TagsAreRecognisedByTheirLeadingLetters) {
    struct Case {
        const wchar_t* markup;
        MarkupTag tag;
    } cases[] = {
        {L"<b>", MarkupTag::Bold},           {L"<B>", MarkupTag::Bold},
        {L"</b>", MarkupTag::Bold},          {L"<br>", MarkupTag::Break},
        {L"<br/>", MarkupTag::Break},        {L"<BR />", MarkupTag::Break},
        {L"<blink>", MarkupTag::Blink},      {L"<body bgcolor=\"#ffffff\">", MarkupTag::Body},
        {L"<bold>", MarkupTag::Unknown},     {L"<i>", MarkupTag::Italic},
        {L"<img src=\"idx:0\">", MarkupTag::Image}, {L"<ind x=\"30\">", MarkupTag::Indent},
        {L"<u>", MarkupTag::Underline},      {L"<underline>", MarkupTag::Underline},
        {L"<ul>", MarkupTag::List},          {L"<li>", MarkupTag::ListItem},
        {L"<s>", MarkupTag::Strike},         {L"<sub>", MarkupTag::Sub},
        {L"<sup>", MarkupTag::Sup},          {L"<shad>", MarkupTag::Shadow},
        {L"<span>", MarkupTag::Unknown},     {L"<strong>", MarkupTag::Unknown},
        {L"<hr>", MarkupTag::Rule},          {L"<p align=\"alCenter\">", MarkupTag::Paragraph},
        {L"<P>", MarkupTag::Paragraph},      {L"<font size=\"7\">", MarkupTag::Font},
        {L"<a href=\"x\">", MarkupTag::Anchor}, {L"<r a=\"90\">", MarkupTag::Rotate},
        {L"<z>", MarkupTag::Hidden},         {L"</Z>", MarkupTag::Hidden},
        {L"<table>", MarkupTag::Unknown},    {L"<>", MarkupTag::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(TagOf(c.markup), c.tag) << testing::PrintToString(std::wstring(c.markup));
}

TEST(MarkupTokens, WordsEndAfterASpaceOrBeforeATag) {
    auto tokens = TokenizeMarkup(L" plik w <b>nowszy</b>,");
    std::vector<std::wstring> words;
    for (const auto& t : tokens) words.push_back(t.kind == MarkupToken::Kind::Word ? t.text : L"[" + t.text + L"]");
    EXPECT_EQ(words, (std::vector<std::wstring>{L" ", L"plik ", L"w ", L"[b]", L"nowszy", L"[/b]", L","}));
    EXPECT_TRUE(tokens[5].kind == MarkupToken::Kind::Tag && tokens[5].closing);
}

TEST(MarkupTokens, ReferencesAndLiteralWordsNeverOpenTags) {
    auto tokens = TokenizeMarkup(L"&lt;b&gt; a&b &amp;quot; <#<i> x>");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].text, L"<b> ");
    EXPECT_EQ(tokens[1].text, L"a&b ");
    EXPECT_EQ(tokens[2].text, L"&quot; ");
    EXPECT_EQ(tokens[3].kind, MarkupToken::Kind::Word);
    EXPECT_EQ(tokens[3].text, L"<i");  // the literal ends at the first ">"
    EXPECT_EQ(tokens[4].text, L" ");
}

TEST(MarkupTokens, ALessThanWithoutGreaterThanEndsTheText) {
    auto tokens = TokenizeMarkup(L"abc <b>def <font size=\"9\" tail");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[2].text, L"def ");
}

TEST(MarkupAttributes, FoundByWholeNameWithOrWithoutQuotes) {
    struct Case {
        const wchar_t* tag;
        const wchar_t* name;
        const wchar_t* value;
    } cases[] = {
        {L"a href=\"c:\\x.tev|d:\\y\"", L"href", L"c:\\x.tev|d:\\y"},
        {L"font bgcolor=\"#ff0000\" color=\"#00ff00\"", L"color", L"#00ff00"},
        {L"font bgcolor=\"#ff0000\" color=\"#00ff00\"", L"bgcolor", L"#ff0000"},
        {L"FONT COLOR=\"clRed\"", L"color", L"clRed"},
        {L"p align = \"alCenter\"", L"align", L"alCenter"},
        {L"p align=right", L"align", L"right"},
        {L"img src=\"idx:1\"", L"width", L""},
        {L"a href=\"unterminated", L"href", L"unterminated"},
    };
    for (const Case& c : cases) EXPECT_EQ(MarkupAttribute(c.tag, c.name), c.value) << testing::PrintToString(std::wstring(c.tag));
}

TEST(MarkupColors, HexNamesAndSystemColours) {
    struct Case {
        const wchar_t* text;
        MarkupColor color;
    } cases[] = {
        {L"#ff8000", MarkupRgb(255, 128, 0)}, {L"#FF8000", MarkupRgb(255, 128, 0)},
        {L"#ff80", MarkupRgb(0, 0, 0)},       {L"#gg0000", MarkupRgb(0, 0, 0)},
        {L"clNavy", MarkupRgb(0, 0, 128)},    {L"clmaroon", MarkupRgb(128, 0, 0)},
        {L"clFuchsia", MarkupRgb(255, 0, 255)}, {L"clSilver", MarkupRgb(192, 192, 192)},
        {L"clBtnFace", kSystemColorFlag | 15}, {L"clInfoBk", kSystemColorFlag | 24},
        {L"cl3DDkShadow", kSystemColorFlag | 21}, {L"navy", MarkupRgb(0, 0, 0)},
        {L"", MarkupRgb(0, 0, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseMarkupColor(c.text), c.color) << testing::PrintToString(std::wstring(c.text));
}

TEST(MarkupPlainText, ShowsWhatAReaderSees) {
    struct Case {
        const wchar_t* markup;
        const wchar_t* text;
    } cases[] = {
        {L"<z>c:\\dane\\faktury.dat</z><b>faktury.dat</b>", L"faktury.dat"},
        {L"<b>Kopia</b><br>z dnia <a href=\"x\">1.12</a> ", L"Kopia\r\nz dnia 1.12"},
        {L"&lt;b&gt;", L"<b>"},
        {L"<ul><li>jeden<li>dwa</ul>", L"jeden\r\ndwa"},
        {L"tekst <nieznany>dalej", L"tekst dalej"},
    };
    for (const Case& c : cases) EXPECT_EQ(MarkupPlainText(c.markup), c.text);
}

TEST(MarkupNumbers, NonNumericTextGivesTheFallback) {
    EXPECT_EQ(ParseMarkupInt(L"7", 0), 7);
    EXPECT_EQ(ParseMarkupInt(L" 30", -1), 30);
    EXPECT_EQ(ParseMarkupInt(L"-2", 0), -2);
    EXPECT_EQ(ParseMarkupInt(L"7pt", 0), 0);
    EXPECT_EQ(ParseMarkupInt(L"", -1), -1);
    EXPECT_EQ(ParseMarkupInt(L"99999999999999", -1), -1);
}

}  // namespace
