#include "util/calendar.h"

#include <gtest/gtest.h>

#include "util/lastmodified.h"

TEST(Calendar, DayNumbers) {
    EXPECT_EQ(*EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(*EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(*EncodeDate(2002, 12, 21), 37611);
    EXPECT_FALSE(EncodeDate(2001, 2, 29));
    EXPECT_FALSE(EncodeDate(2000, 13, 1));
    const CalendarDate d = DecodeDate(37611.75);
    EXPECT_EQ(d.year, 2002);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 21);
    EXPECT_EQ(DecodeTime(37611.75).hour, 18);
    EXPECT_EQ(DayOfWeek(37611), 6);  // Saturday
}

TEST(Calendar, MonthAndYearLengths) {
    EXPECT_EQ(DaysInMonth(2, 2000), 29);
    EXPECT_EQ(DaysInMonth(2, 1900), 28);
    EXPECT_EQ(DaysInMonth(2, 2024), 29);
    EXPECT_EQ(DaysInMonth(4, 2023), 30);
    EXPECT_EQ(DaysInMonth(12, 2023), 31);
    EXPECT_EQ(DaysInMonth(0, 2023), 0);
    EXPECT_EQ(DaysInMonth(13, 2023), 0);
    EXPECT_EQ(DaysInYear(2024), 366);
    EXPECT_EQ(DaysInYear(2023), 365);
    EXPECT_EQ(DaysInYear(1900), 365);  // as many days as its months have
    EXPECT_EQ(DaysInYear(2000), 366);
}

TEST(Calendar, AddMonthsClampsTheDay) {
    auto at = [](int y, int m, int d) { return *EncodeDate(y, m, d); };
    EXPECT_EQ(AddMonths(1, at(2023, 1, 31)), at(2023, 2, 28));
    EXPECT_EQ(AddMonths(2, at(2024, 1, 31)), at(2024, 3, 29));
    EXPECT_EQ(AddMonths(-1, at(2024, 3, 31) + 0.5), at(2024, 2, 29));
    EXPECT_EQ(AddMonths(12, at(2023, 5, 15)), at(2024, 5, 15));
    EXPECT_EQ(AddMonths(-13, at(2023, 1, 10)), at(2021, 12, 10));
    EXPECT_EQ(AddMonths(2, at(9999, 12, 1)), at(9999, 12, 1));  // no later date exists
}

TEST(Calendar, WeekMondayKeepsTheTime) {
    const DateTimeValue saturday = *EncodeDate(2002, 12, 21) + 0.25;
    const DateTimeValue monday = *EncodeDate(2002, 12, 16) + 0.25;
    EXPECT_EQ(WeekMonday(saturday), monday);
    EXPECT_EQ(WeekMonday(monday), monday);
    EXPECT_EQ(WeekMonday(*EncodeDate(2002, 12, 22)), *EncodeDate(2002, 12, 16));
}

TEST(ParseLastModified, Headers) {
    const DateTimeValue expected = *EncodeDate(2015, 10, 21) + *EncodeTime(7, 28, 0);
    EXPECT_DOUBLE_EQ(ParseLastModified(L"Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT"), expected);
    EXPECT_DOUBLE_EQ(ParseLastModified(L"wed, 21 oct 2015 07:28:00 gmt"), expected);
    EXPECT_DOUBLE_EQ(ParseLastModified(L"Last-Modified: Wed, 21 Oct 2015 25:61:00 GMT"), *EncodeDate(2015, 10, 21));
    EXPECT_EQ(ParseLastModified(L"Last-Modified: Wed, 21 Oct 1998 07:28:00 GMT"), 0);
    EXPECT_EQ(ParseLastModified(L"Last-Modified: Wed, 31 Feb 2015 07:28:00 GMT"), 0);
    EXPECT_EQ(ParseLastModified(L"Last-Modified: 21 Oct"), 0);
    EXPECT_EQ(ParseLastModified(L""), 0);
    // The last part is not examined: without the trailing "GMT" the time is lost.
    EXPECT_DOUBLE_EQ(ParseLastModified(L"21 Oct 2015 07:28:00"), *EncodeDate(2015, 10, 21));
}
