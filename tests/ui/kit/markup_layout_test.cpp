#include "ui/kit/markup_layout.h"

#include <gtest/gtest.h>

namespace {

// Every character is 6 pixels wide (7 in bold); a line of an n-point font is
// n + 5 pixels high with its baseline 3 pixels above the bottom. "idx:" and
// "big" pictures exist (16 and 32 pixels square), nothing else does.
class FakeMeasurer : public MarkupMeasurer {
public:
    MarkupExtent MeasureText(const MarkupFont& font, std::wstring_view text) override {
        ++calls;
        int height = font.size + 5;
        return {static_cast<int>(text.size()) * (font.bold ? 7 : 6), height, height - 3};
    }
    MarkupSize PictureSize(std::wstring_view source) override {
        if (source.rfind(L"idx:", 0) == 0) return {16, 16};
        if (source == L"big") return {32, 32};
        return {};
    }
    int calls = 0;
};

MarkupFont Tahoma() { return {L"Tahoma", 8}; }

MarkupLayout Layout(std::wstring_view markup, int width = 400, MarkupDialect dialect = MarkupDialect::Full) {
    FakeMeasurer measurer;
    return LayoutMarkup(markup, {10, 20, 10 + width, 520}, Tahoma(), measurer, dialect);
}

std::vector<const MarkupItem*> Texts(const MarkupLayout& layout) {
    std::vector<const MarkupItem*> texts;
    for (const auto& item : layout.items)
        if (item.kind == MarkupItem::Kind::Text) texts.push_back(&item);
    return texts;
}

std::wstring Shown(const MarkupLayout& layout) {
    std::wstring shown;
    for (const auto* item : Texts(layout)) shown += item->text;
    return shown;
}

TEST(MarkupLayout, BoldOnlyWhereTheTagsSayAndWordsFollowEachOther) {
    auto layout = Layout(L" plik w archiwum jest <b>nowszy</b>,");
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 7u);
    for (const auto* item : texts) EXPECT_EQ(item->style.font.bold, item->text == L"nowszy") << item->text;
    EXPECT_EQ(texts[0]->rect.left, 10);
    EXPECT_EQ(texts[1]->rect.left, 16);     // after " "
    EXPECT_EQ(texts[5]->rect.left, 142);  // " plik w archiwum jest " = 22 characters
    EXPECT_EQ(texts[6]->rect.left, 142 + 42);
    EXPECT_EQ(layout.width, 22 * 6 + 6 * 7 + 6);
    EXPECT_EQ(layout.height, 13);
    EXPECT_EQ(texts[0]->rect.top, 20);
}

TEST(MarkupLayout, HiddenTextTakesNoRoomAndNoLineBreaks) {
    auto layout = Layout(L"<z>c:\\dane\\<br>faktury.dat</z><b>faktury.dat</b>");
    EXPECT_EQ(Shown(layout), L"faktury.dat");
    EXPECT_EQ(layout.width, 11 * 7);
    EXPECT_EQ(layout.height, 13);
    EXPECT_EQ(Texts(layout)[0]->rect.left, 10);
}

TEST(MarkupLayout, ParagraphAlignment) {
    struct Case {
        const wchar_t* markup;
        int left;
    } cases[] = {
        {L"<p align=\"alCenter\">abc</p>", 10 + (100 - 18) / 2},
        {L"<p align=\"center\">abc", 10 + (100 - 18) / 2},
        {L"<p align=\"alRight\">abc </p>", 10 + 100 - 18},  // the trailing space does not count
        {L"<p align=\"alLeft\">abc</p>", 10},
        {L"<p align=\"right\"></p>abc", 10},  // the closing tag restores the alignment
        {L"<p align=\"sideways\">abc</p>", 10},
    };
    for (const Case& c : cases) {
        auto layout = Layout(c.markup, 100);
        ASSERT_EQ(Texts(layout).size(), 1u) << testing::PrintToString(std::wstring(c.markup));
        EXPECT_EQ(Texts(layout)[0]->rect.left, c.left) << testing::PrintToString(std::wstring(c.markup));
    }
}

TEST(MarkupLayout, AParagraphStartsOnANewLineAndFillsItsBackground) {
    auto layout = Layout(L"ab<p align=\"right\" bgcolor=\"clYellow\">cd</p>ef", 100);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->rect.top, 20);
    EXPECT_EQ(texts[1]->rect.top, 33);
    EXPECT_EQ(texts[1]->rect.left, 10 + 100 - 12);
    EXPECT_EQ(texts[2]->rect.top, 46);
    EXPECT_EQ(texts[2]->rect.left, 10);
    const MarkupItem* fill = nullptr;
    for (const auto& item : layout.items)
        if (item.kind == MarkupItem::Kind::Fill) fill = &item;
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->style.background, MarkupRgb(255, 255, 0));
    EXPECT_EQ(fill->rect.top, 33);
    EXPECT_EQ(fill->rect.bottom, 46);
    EXPECT_EQ(fill->rect.right, 110);
}

TEST(MarkupLayout, FontTagsSetPointSizesAndClosingTagsRestore) {
    auto layout = Layout(L"<font size=\"7\" color=\"clRed\" face=\"Arial\">a<font size=\"20\">b</font>c</font>d<font size=\"x\">e</font>");
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0]->style.font.size, 7);  // points, not the HTML 1..7 scale
    EXPECT_EQ(texts[0]->style.font.face, L"Arial");
    EXPECT_EQ(texts[0]->style.color, MarkupRgb(255, 0, 0));
    EXPECT_EQ(texts[1]->style.font.size, 20);
    EXPECT_EQ(texts[2]->style.font.size, 7);
    EXPECT_EQ(texts[3]->style.font, Tahoma());
    EXPECT_EQ(texts[3]->style.color, kNoColor);
    EXPECT_EQ(texts[4]->style.font.size, 0);  // a size that is not a number
    // One line, as high as the 20-point word, on a common baseline.
    EXPECT_EQ(layout.height, 25);
    EXPECT_EQ(texts[1]->rect.top, 20);
    EXPECT_EQ(texts[0]->rect.top + 9, texts[1]->rect.top + 22);
}

TEST(MarkupLayout, LinesBreakBetweenWordsThatNoLongerFit) {
    // Words of 18 pixels plus a space; 50 pixels hold two of them.
    auto layout = Layout(L"aaa bbb ccc ddd eee", 50);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 5u);
    int tops[] = {20, 20, 33, 33, 46};
    int lefts[] = {10, 34, 10, 34, 10};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i]->rect.top, tops[i]) << i;
        EXPECT_EQ(texts[i]->rect.left, lefts[i]) << i;
    }
    EXPECT_EQ(layout.height, 39);
    EXPECT_EQ(layout.width, 42);
}

TEST(MarkupLayout, WordsGluedByTagsMoveToTheNextLineTogether) {
    auto layout = Layout(L"aaaa <b>nowszy</b>,", 76);  // "nowszy" fits, the comma does not
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1]->rect.top, 33);
    EXPECT_EQ(texts[1]->rect.left, 10);
    EXPECT_EQ(texts[2]->rect.top, 33);
    EXPECT_EQ(texts[2]->rect.left, 52);
}

TEST(MarkupLayout, AWordWiderThanTheRectangleStaysOnItsLine) {
    auto layout = Layout(L"bardzodlugieslowo krotkie", 40);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->rect.top, 20);
    EXPECT_EQ(texts[1]->rect.top, 33);
    EXPECT_EQ(layout.height, 26);
}

TEST(MarkupLayout, BreaksRulesAndEmptyLines) {
    auto layout = Layout(L"a<br><br>b<hr>c", 100);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1]->rect.top, 20 + 26);  // an empty line is as high as "gh"
    const MarkupItem* rule = nullptr;
    for (const auto& item : layout.items)
        if (item.kind == MarkupItem::Kind::Rule) rule = &item;
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->rect.top, 20 + 39 + 1);
    EXPECT_EQ(rule->rect.left, 10);
    EXPECT_EQ(rule->rect.right, 110);
    EXPECT_GT(texts[2]->rect.top, rule->rect.top);
    EXPECT_EQ(layout.height, texts[2]->rect.bottom - 20);
    EXPECT_EQ(Layout(L"").height, 0);
    EXPECT_EQ(Layout(L"<br>").height, 13);
}

TEST(MarkupLayout, IndentMovesOnlyToTheRight) {
    struct Case {
        const wchar_t* markup;
        int left;
    } cases[] = {
        {L"a<ind x=\"50\">b", 60},
        {L"abcdefghijk<ind x=\"50\">b", 10 + 66},
        {L"a<ind x=\"pięćdziesiąt\">b", 16},
    };
    for (const Case& c : cases) EXPECT_EQ(Texts(Layout(c.markup))[1]->rect.left, c.left);
}

TEST(MarkupLayout, ListItemsGetBulletsAndIndentPerLevel) {
    auto layout = Layout(L"<ul><li>jeden<ul><li>dwa</ul></ul>koniec");
    std::vector<const MarkupItem*> bullets;
    for (const auto& item : layout.items)
        if (item.kind == MarkupItem::Kind::Bullet) bullets.push_back(&item);
    ASSERT_EQ(bullets.size(), 2u);
    EXPECT_EQ(bullets[0]->level, 1);
    EXPECT_EQ(bullets[0]->rect.left, 10);
    EXPECT_EQ(bullets[1]->level, 2);
    EXPECT_EQ(bullets[1]->rect.left, 22);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->rect.left, 22);
    EXPECT_EQ(texts[1]->rect.left, 34);
    EXPECT_EQ(texts[1]->rect.top, 33);
    EXPECT_EQ(texts[2]->rect.left, 10);  // the end of the list ends the line
    EXPECT_EQ(texts[2]->rect.top, 46);
}

TEST(MarkupLayout, ListIndentScalesWithTheDisplay) {
    FakeMeasurer measurer;
    auto layout = LayoutMarkup(L"<ul><li>a</ul>", {0, 0, 400, 400}, Tahoma(), measurer, MarkupDialect::Full, 144);
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->rect.left, 18);
}

TEST(MarkupLayout, SubAndSuperscriptShiftByAQuarterAndGrowTheLine) {
    auto layout = Layout(L"m<sup>2</sup>H<sub>2</sub>");
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 4u);
    // 13-pixel words: a quarter is 3 pixels each way.
    EXPECT_EQ(texts[0]->rect.top, 23);
    EXPECT_EQ(texts[1]->rect.top, 20);
    EXPECT_EQ(texts[3]->rect.top, 26);
    EXPECT_EQ(layout.height, 19);
}

TEST(MarkupLayout, PicturesSitOnTheBaselineUnlessAlignedAndStretch) {
    auto layout = Layout(
        L"a<img src=\"idx:3\">b<img src=\"big\" width=\"8\" height=\"4\"><img src=\"brak.bmp\"><img src=\"idx:1\" align=\"top\">");
    std::vector<const MarkupItem*> pictures;
    for (const auto& item : layout.items)
        if (item.kind == MarkupItem::Kind::Picture) pictures.push_back(&item);
    ASSERT_EQ(pictures.size(), 3u);
    // Baseline at 20 + 16: the 16-pixel picture sets the line's ascent.
    EXPECT_EQ(pictures[0]->rect.top, 20);
    EXPECT_EQ(pictures[0]->rect.left, 16);
    EXPECT_EQ(pictures[1]->rect.Width(), 8);
    EXPECT_EQ(pictures[1]->rect.top, 36 - 4);
    EXPECT_EQ(pictures[2]->rect.top, 20);
    EXPECT_EQ(pictures[2]->rect.left, 16 + 16 + 6 + 8);
    EXPECT_EQ(Texts(layout)[0]->rect.top, 36 - 10);
    EXPECT_EQ(layout.height, 19);
}

TEST(MarkupLayout, LinksAreFoundUnderThePoint) {
    auto layout = Layout(L"<b>Kopia</b><br>z dnia <a href=\"mailto:pomoc@tev.pl\">napisz</a> lub "
                         L"<a href=\"c:\\a.tev|d:\\b\">Odtwórz z tej kopii</a>");
    ASSERT_EQ(layout.anchors.size(), 2u);
    EXPECT_EQ(MarkupAnchorAt(layout, 10 + 7 * 6 + 1, 34), L"mailto:pomoc@tev.pl");
    EXPECT_EQ(MarkupAnchorAt(layout, 10 + 7 * 6 + 1, 45), L"mailto:pomoc@tev.pl");  // anywhere in its line
    EXPECT_EQ(MarkupAnchorAt(layout, 10 + 18 * 6 + 2, 40), L"c:\\a.tev|d:\\b");
    EXPECT_EQ(MarkupAnchorAt(layout, 10 + 18 * 6 + 17, 40), L"c:\\a.tev|d:\\b");  // the spaces inside the link
    EXPECT_EQ(MarkupAnchorAt(layout, 12, 25), L"");
    EXPECT_EQ(MarkupAnchorAt(layout, 10 + 14 * 6, 40), L"");  // " lub "
    EXPECT_EQ(MarkupAnchorAt(layout, 500, 40), L"");
}

TEST(MarkupLayout, TextStateTagsReachTheItems) {
    auto layout = Layout(L"<i><u><s><shad><blink><r a=\"90\">x</r></blink></shad></s></u></i>y"
                         L"<font bgcolor=\"#000080\">z</font><body bgcolor=\"clWhite\" background=\"file://c:\\t.bmp\">");
    auto texts = Texts(layout);
    ASSERT_EQ(texts.size(), 3u);
    const MarkupStyle& x = texts[0]->style;
    EXPECT_TRUE(x.font.italic && x.font.underline && x.font.strike && x.shadow && x.blink);
    EXPECT_EQ(x.angle, 90);
    const MarkupStyle& y = texts[1]->style;
    EXPECT_FALSE(y.font.italic || y.font.underline || y.font.strike || y.shadow || y.blink || y.angle);
    EXPECT_EQ(texts[2]->style.background, MarkupRgb(0, 0, 128));
    EXPECT_EQ(layout.bodyColor, MarkupRgb(255, 255, 255));
    EXPECT_EQ(layout.bodyBackground, L"c:\\t.bmp");
}

TEST(MarkupLayout, TheComboSubsetShowsHiddenTextAndIgnoresOtherTags) {
    auto layout = Layout(L"<z>dane</z><sub>x</sub><b>y</b><img src=\"res://LOGO\">", 400, MarkupDialect::Combo);
    EXPECT_EQ(Shown(layout), L"danexy");
    auto texts = Texts(layout);
    EXPECT_EQ(texts[1]->rect.top, 20);
    EXPECT_TRUE(texts[2]->style.font.bold);
}

TEST(MarkupLayout, UnknownTagsAreSkipped) {
    EXPECT_EQ(Shown(Layout(L"<table>a <td x=\"1\">b</table>")), L"a b");
}

}  // namespace

namespace {

// Random runs of tags, words, references and stray ">" (a stray "<" would
// swallow the next tag, hidden ones included, as it should):
// layout always ends, places every item inside the rectangle's left edge and
// never shows what is hidden.
TEST(MarkupLayout, RandomMarkupLaysOutSafely) {
    const wchar_t* pieces[] = {L"<b>", L"</b>", L"<br>", L"<hr>", L"<p align=\"right\">", L"</p>", L"<ul>", L"</ul>",
                               L"<li>", L"<font size=\"30\" color=\"#12\">", L"</font>", L"<a href=\"x|y\">", L"</a>",
                               L"<img src=\"idx:1\" width=\"0\">", L"<ind x=\"-5\">", L"<ind x=\"900\">", L"<sub>", L"<sup>",
                               L"<z>", L"</z>", L"<z>UKRYTE<br></z>", L"słowo ", L"x", L" ", L"&amp;", L"&", L">", L"<#lit>",
                               L"<r a=\"45\">", L"<font size=\"\">", L"\"", L"="};
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    FakeMeasurer measurer;
    for (int round = 0; round < 2000; ++round) {
        std::wstring markup;
        int count = static_cast<int>(next() % 40);
        for (int i = 0; i < count; ++i) markup += pieces[next() % std::size(pieces)];
        MarkupLayout layout = LayoutMarkup(markup, {5, 7, 205, 400}, Tahoma(), measurer);
        for (const auto& item : layout.items) {
            EXPECT_GE(item.rect.left, 5) << testing::PrintToString(markup);
            EXPECT_GE(item.rect.top, 7) << testing::PrintToString(markup);
            EXPECT_EQ(item.text.find(L"UKRYTE"), std::wstring::npos) << testing::PrintToString(markup);
            EXPECT_LT(item.style.anchor, static_cast<int>(layout.anchors.size()));
        }
        EXPECT_GE(layout.height, 0);
    }
}

}  // namespace
