// The rules behind the message dialog and the progress window: markers,
// stripping, the label's markup, the countdown and the time-left estimate.
#include <gtest/gtest.h>

#include "app/countdown.h"
#include "app/timeleft.h"
#include "interact/messagetext.h"

TEST(MessageText, IconsComeFromCaptionAndHeadline) {
    struct Case {
        const wchar_t* caption;
        const wchar_t* headline;
        MessageIcons icons;  // info, stop, exclamation, question
    } cases[] = {
        {L"Archiwin", L"Folder nie istnieje!", {false, false, true, false}},
        {L"Archiwin", L"Mocna kompresja?", {false, false, false, true}},
        {L"Archiwin", L"Gotowe", {}},
        {L"Archiwin", L"%Nic nie zaznaczyłeś!", {false, true, true, false}},
        {L"Archiwin", L"*Opcje kopii zapasowych", {true, false, false, false}},
        // "*" counts only first in the headline, "%" first in either.
        {L"*Archiwin", L"a*b%", {}},
        {L"%Błąd", L"Tekst", {false, true, false, false}},
        {L"Uwaga!", L"Czy na pewno?", {false, false, true, true}},
        {L"", L"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(IconsFor(c.caption, c.headline), c.icons) << c.caption << L" / " << c.headline;
}

TEST(MessageText, StrippingRemovesLeadingMarkersInTheirOrderAndKeepsOneCharacter) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"%Nic nie zaznaczyłeś!", L"Nic nie zaznaczyłeś!"},
        {L"!!*%%Tekst", L"Tekst"},
        {L"*Informacja", L"Informacja"},
        // Each run goes before the next one: a "!" after the "%" stays.
        {L"%!Tekst", L"!Tekst"},
        {L"*!Tekst", L"!Tekst"},
        {L"!!!", L"!"},
        {L"%", L"%"},
        {L"!%", L"%"},
        {L"", L""},
        {L"Czy?", L"Czy?"},
    };
    for (const auto& c : cases) EXPECT_EQ(StripMarkers(c.in), c.out) << c.in;
}

TEST(MessageText, MarkupHasTheBoldHeadlineAndTheBodyAfterABreak) {
    EXPECT_EQ(MessageMarkup(L"Folder nie istnieje!", L"C:\\x"), L"<b>Folder nie istnieje!</b><br>   C:\\x");
    EXPECT_EQ(MessageMarkup(L"Gotowe", L""), L"Gotowe");
    EXPECT_EQ(MessageMarkup(L"a\r\nb", L"c\r\nd\te\nf\rg"), L"<b>a<br>b</b><br>   c<br>d e f g");
    // A lone CR at the end, and LF CR, are plain control characters.
    EXPECT_EQ(FlattenLineBreaks(L"x\r"), L"x ");
    EXPECT_EQ(FlattenLineBreaks(L"x\n\r\ny"), L"x <br>y");
}

TEST(MessageText, ButtonsFollowTheQuestionMarkAndTheBody) {
    EXPECT_TRUE(IsQuestion(L"Mocna kompresja?"));
    EXPECT_FALSE(IsQuestion(L"Folder nie istnieje!"));
    EXPECT_TRUE(SecondButtonShown(L"Mocna kompresja?", L""));
    EXPECT_TRUE(SecondButtonShown(L"Folder nie istnieje!", L"C:\\x"));
    EXPECT_FALSE(SecondButtonShown(L"Gotowe", L""));
}

TEST(MessageText, AskSplitsAtTheFirstLineBreakAndTrims) {
    struct Case {
        const wchar_t* text;
        const wchar_t* headline;
        const wchar_t* body;
    } cases[] = {
        {L"Folder nie istnieje!\r\nC:\\x", L"Folder nie istnieje!", L"C:\\x"},
        {L"  Jedna linia  ", L"Jedna linia", L""},
        {L"Nagłówek\r\n  treść\r\ndalej  ", L"Nagłówek", L"treść\r\ndalej"},
        {L"Nagłówek\r\n", L"Nagłówek", L""},
        {L"\r\nTylko treść", L"", L"Tylko treść"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        auto [headline, body] = SplitMessage(c.text);
        EXPECT_EQ(headline, c.headline) << c.text;
        EXPECT_EQ(body, c.body) << c.text;
    }
}

TEST(MessageText, ErrorsGetTheStopMarkOnce) {
    EXPECT_EQ(ErrorText(L"Nic nie zaznaczyłeś!"), L"%Nic nie zaznaczyłeś!");
    EXPECT_EQ(ErrorText(L"%Już oznaczony"), L"%Już oznaczony");
    EXPECT_EQ(ErrorText(L"x"), L"x");
    EXPECT_EQ(ErrorText(L""), L"");
}

TEST(MessageText, HashPromptIsMasked) {
    EXPECT_EQ(InputPrompt(L"#Hasło:"), std::make_pair(std::wstring(L"Hasło:"), true));
    EXPECT_EQ(InputPrompt(L"Komentarz"), std::make_pair(std::wstring(L"Komentarz"), false));
    EXPECT_EQ(InputPrompt(L"#"), std::make_pair(std::wstring(), true));
    // Characters 2 to 200 of the prompt are kept.
    std::wstring longPrompt = L"#" + std::wstring(300, L'a');
    EXPECT_EQ(InputPrompt(longPrompt).first.size(), 199u);
}

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
