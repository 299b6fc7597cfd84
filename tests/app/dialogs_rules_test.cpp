// The rules behind the message dialog's countdown and the progress window's
// time-left estimate.
#include <gtest/gtest.h>

#include "app/countdown.h"
#include "app/timeleft.h"

TEST(Countdown, LengthIsTicksPerSecondTimesTimeout) {
    EXPECT_EQ(CountdownLength(122, 200), 610);
    EXPECT_EQ(CountdownLength(1, 200), 5);
    EXPECT_EQ(CountdownLength(-1, 200), -1);
    EXPECT_EQ(CountdownLength(3, 300), 9);  // 1000 / 300 is 3
}

TEST(Countdown, TicksOfTheUsualTimeout) {
    const int length = CountdownLength(122, 200);
    struct Case {
        int tick;
        int percent;
        bool time;
        bool gauge;
        int seconds;
        bool expired;
    } cases[] = {
        {0, 0, false, false, 123, false},
        {183, 30, false, false, 86, false},
        {184, 30, false, false, 86, false},
        {186, 30, false, false, 85, false},
        {187, 31, true, false, 85, false},  // the time shows after about 37 s
        {216, 35, true, false, 79, false},
        {217, 36, true, true, 79, false},
        {610, 100, true, true, 1, false},
        {611, 100, true, true, 1, true},  // closes after 611 ticks
    };
    for (const auto& c : cases) {
        CountdownTick t = CountdownAt(c.tick, length, 200);
        EXPECT_EQ(t.percent, c.percent) << c.tick;
        EXPECT_EQ(t.timeShown, c.time) << c.tick;
        EXPECT_EQ(t.gaugeShown, c.gauge) << c.tick;
        EXPECT_EQ(t.secondsLeft, c.seconds) << c.tick;
        EXPECT_EQ(t.expired, c.expired) << c.tick;
    }
    EXPECT_EQ(CountdownText(85), L"okienko zniknie za 85 sek.\r\n(możesz zamknąć je sam)");
    // A destructive question says which answer it will take.
    EXPECT_EQ(CountdownText(85, L"Nie"), L"okienko zniknie za 85 sek.\r\ni odpowie „Nie”");
    EXPECT_EQ(CountdownHint(L"Anuluj"),
              L"Ten wskaźnik pokazuje, za kiedy okienko zamknie się samo tak, jakbyś nacisnął przycisk Anuluj.");
}

TEST(TimeLeft, EstimatedOnlyInTheMiddleOfTheWorkOnTheSameDay) {
    const DateTimeValue start = 46366.5;  // noon
    const DateTimeValue minute = 1.0 / 1440;
    struct Case {
        std::int64_t pos, tot;
        DateTimeValue start, now;
        bool estimated;
    } cases[] = {
        {3, 100, start, start + minute, false},   // too early
        {4, 100, start, start + minute, true},
        {89, 100, start, start + minute, true},
        {90, 100, start, start + minute, false},  // from 90 % on
        {95, 0, start, start + minute, false},    // no total
        {50, 100, 0, start + minute, false},      // no start
        {50, 100, start, start + 0.6, false},     // past midnight
        {50, 100, start, start + 0.4, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeLeft(c.pos, c.tot, c.start, c.now, c.now).has_value(), c.estimated) << c.pos << L"/" << c.tot;

    // A quarter done in a minute: three more minutes, less the time the
    // clock moved on in between.
    auto left = TimeLeft(25, 100, start, start + minute, start + minute);
    ASSERT_TRUE(left);
    EXPECT_NEAR(*left * 1440, 3.0, 1e-6);
    left = TimeLeft(25, 100, start, start + minute, start + 1.5 * minute);
    EXPECT_NEAR(*left * 1440, 2.5, 1e-6);
    EXPECT_EQ(TimeLeftText(90.0 / 86400), L"jeszcze ok. 1 min. 30 sek.");
}
