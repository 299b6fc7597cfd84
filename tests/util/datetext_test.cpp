#include "util/datetext.h"

#include <gtest/gtest.h>

#include <cmath>

#include "util/calendar.h"
#include "util/failure.h"

namespace {
DateTimeValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return *EncodeDate(y, mo, d) + *EncodeTime(h, mi, s, ms);
}
}  // namespace

TEST(DateText, FixedPatterns) {
    const DateTimeValue x = At(2002, 12, 21, 9, 5);
    EXPECT_EQ(LongDateText(x), L"sobota, 21 grudnia 2002");
    EXPECT_EQ(LongDateText(At(2002, 12, 24)), L"wtorek, 24 grudnia 2002");
    EXPECT_EQ(DateText(x), L"21 grudnia 2002");
    EXPECT_EQ(ShortDateText(At(2004, 3, 9)), L"9-03-2004");
    EXPECT_EQ(LongDateTimeText(x), L"sobota, 21 grudnia 2002, 9:05");
    for (auto f : {LongDateText, DateText, ShortDateText, LongDateTimeText}) EXPECT_EQ(f(0), L"-");
}

TEST(FormatPolishDate, Patterns) {
    const DateTimeValue may = At(2015, 5, 3, 7, 8, 9, 45);
    struct Case {
        const wchar_t *pattern, *expected;
    } cases[] = {
        {L"d mmmmm yyyy", L"3 maja 2015"},
        {L"dddd, d mmmmm yyyy h:mm:ss", L"niedziela, 3 maja 2015 7:08:09"},
        {L"d mmmmm yyyy (dddd)", L"3 maja 2015 (niedziela)"},
        {L"dd.mm.yy hh:nn:ss.zzz", L"03.05.15 07:08:09.045"},
        {L"mmmm mmm ddd", L"maj maj niedz."},
        {L"%r/%R", L"v-V"},
        {L"#d# `mm`", L"\"3\" '05'"},
        {L"'d' \"mm\" yyyy", L"d mm 2015"},
        {L"h:mm am/pm", L"7:08 am"},
        {L"mmmmm mmmmm", L"maja maj"},  // only the first one is genitive
        {L"xq", L"xq"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatPolishDate(c.pattern, may), c.expected) << c.pattern;
    EXPECT_EQ(FormatPolishDate(L"dddd", At(2002, 12, 21, 23, 59, 59, 999) + 0.4 / 86400000), L"sobota");
    EXPECT_EQ(FormatPolishDate(L"d", 0), L"-");
    // Values no date can have still give a text.
    EXPECT_EQ(DateText(1e300), L"31 grudnia 9999");
    EXPECT_EQ(DateText(std::nan("")), L"-");
    EXPECT_THROW(FormatPolishDate(std::wstring(256, L'x'), may), Failure);
    std::wstring names;
    for (int i = 0; i < 40; ++i) names += L"dddd ";
    EXPECT_THROW(FormatPolishDate(names, may), Failure);  // 400 characters of weekday names
}

TEST(RelativeDayText, Distances) {
    const DateTimeValue today = At(2010, 6, 15, 10);
    struct Case {
        int days;
        const wchar_t* expected;
    } cases[] = {
        {0, L"dzisiaj"},         {-1, L"wczoraj"},          {-2, L"przedwczoraj"},
        {1, L"jutro"},           {2, L"pojutrze"},          {-3, L"3 dni temu"},
        {-22, L"22 dni temu"},   {3, L"za 3 dni"},          {59, L"za 59 dni"},
        {60, L"za 1 miesiąc"},   {62, L"za 2 miesiące"},    {-62, L"2 miesiące temu"},
        {-60, L"1 miesiąc temu"}, {-155, L"5 miesięcy temu"}, {-45, L"45 dni temu"},
        {-7, L"tydzień temu"},   {-6, L"prawie tydzień temu"}, {-10, L"ponad tydzień temu"},
        {-14, L"dwa tygodnie temu"}, {-29, L"ponad cztery tygodnie temu"}, {-31, L"miesiąc temu"},
        {7, L"za tydzień"},      {30, L"za miesiąc"},       {29, L"za 29 dni"},
    };
    for (const auto& c : cases) EXPECT_EQ(RelativeDayText(std::trunc(today) + c.days + 0.99, today), c.expected) << c.days;
    EXPECT_EQ(RelativeDayText(0, today), L"-");
}

TEST(DurationText, Spans) {
    auto seconds = [](double s) { return s / 86400; };
    struct Case {
        double span;
        const wchar_t* expected;
    } cases[] = {
        {0, L"0 sek."},
        {seconds(1), L"1 sek."},
        {seconds(90), L"1 min. 30 sek."},
        {seconds(3600), L"1 godz. 0 sek."},
        {seconds(3600 + 300 + 3), L"1 godz. 5 min. 3 sek."},
        {seconds(25 * 3600), L"1 godz. 0 sek."},
        {seconds(1.25), L"1,25 sek."},
        {seconds(0.05), L"0,05 sek."},
        {seconds(1.996), L"1,99 sek."},
        {seconds(2.5), L"2 sek."},
    };
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.span), c.expected) << c.span * 86400;
}
