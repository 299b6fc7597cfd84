#include "util/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr std::int64_t MsPerDay = 86'400'000;
// Day 0 (30 December 1899) counted from 1 March of year 0, the start of the
// 400-year cycle the conversions below use.
constexpr std::int64_t EpochShift = 693'899;

CalendarDate FromDays(std::int64_t days) {
    const std::int64_t z = days + EpochShift;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CalendarDate d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2));
    return d;
}

std::int64_t ToDays(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - EpochShift;
}
}  // namespace

SplitValue SplitDateTime(DateTimeValue x) {
    // Values no date can have (a damaged setting, not a number) are brought
    // to the nearest end of the calendar rather than overflowing.
    constexpr double First = -693'593.0;       // 1 January 1
    constexpr double Last = 2'958'465.999999;  // 31 December 9999
    if (!std::isfinite(x)) x = 0;
    x = std::clamp(x, First - 0.999999, Last);
    SplitValue s;
    const double whole = std::trunc(x);
    s.days = static_cast<std::int64_t>(whole);
    std::int64_t ms = std::llround(std::fabs(x - whole) * MsPerDay);
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        ++s.days;
    }
    s.time.hour = static_cast<int>(ms / 3'600'000);
    s.time.minute = static_cast<int>(ms / 60'000 % 60);
    s.time.second = static_cast<int>(ms / 1000 % 60);
    s.time.millisecond = static_cast<int>(ms % 1000);
    return s;
}

CalendarDate DecodeDate(DateTimeValue x) { return FromDays(SplitDateTime(x).days); }

TimeOfDay DecodeTime(DateTimeValue x) { return SplitDateTime(x).time; }

std::optional<DateTimeValue> EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(month, year)) return std::nullopt;
    return static_cast<DateTimeValue>(ToDays(year, month, day));
}

std::optional<DateTimeValue> EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return std::nullopt;
    return static_cast<DateTimeValue>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / MsPerDay;
}

int DayOfWeek(DateTimeValue x) {
    // Day 0 was a Saturday.
    return static_cast<int>(((SplitDateTime(x).days % 7) + 13) % 7);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
    switch (month) {
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return month >= 1 && month <= 12 ? 31 : 0;
    }
}

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

DateTimeValue AddMonths(int count, DateTimeValue date) {
    CalendarDate d = DecodeDate(date);
    DateTimeValue result = std::trunc(date);
    const int step = count > 0 ? 1 : -1;
    for (long long i = 0; i < std::llabs(count); ++i) {
        int month = d.month + step;
        int year = d.year;
        if (month > 12) month = 1, ++year;
        if (month < 1) month = 12, --year;
        // Beyond the years a date can have, every further step fails too.
        if (year < 1 || year > 9999) break;
        const int day = d.day <= DaysInMonth(month, year) ? d.day : DaysInMonth(month, year);
        d = {year, month, day};
        result = *EncodeDate(year, month, day);
    }
    return result;
}

DateTimeValue WeekMonday(DateTimeValue x) {
    const int weekday = DayOfWeek(x);
    return x - (weekday == 0 ? 6 : weekday - 1);
}
