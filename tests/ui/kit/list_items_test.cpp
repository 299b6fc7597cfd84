// Heights of list items across widths, and items of several lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/kit/itemheights.h"
#include "ui/kit/itemlines.h"
#include "ui/kit/markup_layout.h"

namespace {

// Characters 6 pixels wide (7 in bold), lines 13 pixels high.
class FixedMeasurer : public MarkupMeasurer {
public:
    MarkupExtent MeasureText(const MarkupFont& font, std::wstring_view text) override {
        return {static_cast<int>(text.size()) * (font.bold ? 7 : 6), 13, 10};
    }
    MarkupSize PictureSize(std::wstring_view) override { return {16, 16}; }
};

ItemExtent LayOut(const std::wstring& markup, int width) {
    FixedMeasurer measurer;
    MarkupLayout layout = LayoutMarkup(markup, {0, 0, width, 4096}, {L"Tahoma", 8}, measurer);
    return {layout.width, layout.height};
}

// The heights a list keeps must be the heights a full layout gives, at every
// width, also for items that wrap, are aligned, indented or glued by tags.
TEST(ItemHeights, AgreeWithAFullLayoutAtEveryWidth) {
    const std::vector<std::wstring> items = {
        L"<b>plik.dat</b>",
        L"10.12.2026 12:00<br><b>Papirek, 2,5 MB</b><z>c:\\kopie\\tevKopiaZapasowa_1.tev</z> "
        L"<a href=\"c:\\kopie\\tevKopiaZapasowa_1.tev\">Odtwórz z tej kopii</a>",
        L"<z>c:\\dane\\faktury.dat|faktury.dat</z> <b>faktury.dat</b>  (12 kB) - plik w archiwum jest "
        L"<b>nowszy</b>,<br>jako: <a href=\"c:\\dane\\faktury.dat|faktury.dat\">faktury.dat</a>",
        L"<p align=\"right\">do prawej strony ustawiony akapit</p><p align=\"alCenter\">i środek</p>",
        L"<ul><li>pierwszy punkt listy<li>drugi punkt, nieco dłuższy od pierwszego</ul>",
        L"<ind x=\"40\">wcięty tekst z obrazkiem <img src=\"idx:1\"> pośrodku",
        L"",
        L"jednowyrazowybardzodługiwyrazktóryniemieścisięnigdzie",
    };
    ItemHeights heights;
    for (size_t i = 0; i < items.size(); ++i) heights.Insert(static_cast<int>(i), LayOut(items[i], ItemHeights::kUnlimited));
    int layouts = 0;
    ItemHeights::Layout layout = [&](int index, int width) {
        ++layouts;
        return LayOut(items[static_cast<size_t>(index)], width);
    };
    for (int width : {600, 300, 160, 90, 40, 1, 0, 300, 4096}) {
        for (size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(heights.HeightAt(static_cast<int>(i), width, layout), LayOut(items[i], width).height)
                << "item " << i << " at width " << width;
    }
    EXPECT_GT(layouts, 0);
}

TEST(ItemHeights, LaysOutOnlyItemsWiderThanTheListAndOnlyOncePerWidth) {
    ItemHeights heights;
    heights.Insert(0, {100, 13});
    heights.Insert(1, {250, 13});
    heights.Insert(0, {50, 26});  // inserted before the others
    std::vector<std::pair<int, int>> calls;
    ItemHeights::Layout layout = [&](int index, int width) {
        calls.push_back({index, width});
        return ItemExtent{width, 39};
    };
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(heights.HeightAt(0, 200, layout), 26);
        EXPECT_EQ(heights.HeightAt(1, 200, layout), 13);
        EXPECT_EQ(heights.HeightAt(2, 200, layout), 39);
    }
    EXPECT_EQ(heights.HeightAt(2, 250, layout), 13);  // fits again: natural height
    EXPECT_EQ(heights.HeightAt(2, 180, layout), 39);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{2, 200}, {2, 180}}));
}

TEST(ItemHeights, WidestFollowsInsertionsAndErasures) {
    ItemHeights heights;
    EXPECT_EQ(heights.Widest(), 0);
    heights.Insert(0, {120, 13});
    heights.Insert(1, {300, 13});
    heights.Insert(2, {300, 13});
    heights.Insert(3, {80, 13});
    EXPECT_EQ(heights.Widest(), 300);
    heights.Erase(1);
    EXPECT_EQ(heights.Widest(), 300);  // the other one as wide
    heights.Erase(1);
    EXPECT_EQ(heights.Widest(), 120);
    heights.Erase(7);  // nothing there
    EXPECT_EQ(heights.Count(), 2);
    heights.Clear();
    EXPECT_EQ(heights.Widest(), 0);
}

TEST(ItemLines, LineEndsBreakOutsideTagsAndHiddenText) {
    struct Case {
        std::wstring markup, expected;
    } cases[] = {
        {L"jeden\r\ndwa\nthree\rcztery", L"jeden<br>dwa<br>three<br>cztery"},
        {L"a\r\n\r\nb", L"a<br><br>b"},
        {L"<z>c:\\a\r\nb</z>plik\r\n<b>x</b>", L"<z>c:\\a\r\nb</z>plik<br><b>x</b>"},
        {L"<Z>\n</Z>\n", L"<Z>\n</Z><br>"},
        {L"<a href=\"x\ny\">link</a>", L"<a href=\"x\ny\">link</a>"},
        {L"<zz>\n", L"<zz><br>"},
        {L"koniec < bez\nzamknięcia", L"koniec < bez\nzamknięcia"},
        {L"bez końca wiersza", L"bez końca wiersza"},
    };
    for (const Case& c : cases) EXPECT_EQ(LineEndsAsBreaks(c.markup), c.expected) << c.markup.size();
}

}  // namespace
