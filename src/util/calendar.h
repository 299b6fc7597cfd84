#pragma once
// Calendar arithmetic on DateTimeValue (days since 30 December 1899 in the
// whole part, the time of day in the fraction). The Gregorian calendar is used
// for every date, years 1 to 9999.
#include <cstdint>
#include <optional>

#include "util/datetime.h"

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The whole days and the time of day of a value, the time rounded to the
// millisecond (a time that rounds up to midnight belongs to the next day).
struct SplitValue {
    std::int64_t days = 0;
    TimeOfDay time;
};
SplitValue SplitDateTime(DateTimeValue x);

CalendarDate DecodeDate(DateTimeValue x);
TimeOfDay DecodeTime(DateTimeValue x);
// nullopt when the date does not exist.
std::optional<DateTimeValue> EncodeDate(int year, int month, int day);
// nullopt when a part is out of range.
std::optional<DateTimeValue> EncodeTime(int hour, int minute, int second, int millisecond = 0);

// 0 for Sunday .. 6 for Saturday.
int DayOfWeek(DateTimeValue x);

// 28..31; 0 for month 0 and months above 12.
int DaysInMonth(int month, int year);
bool IsLeapYear(int year);
int DaysInYear(int year);
// The date moved by count months, one month at a time, the day kept or
// clamped to the last day of the month reached (31 January + 2 gives 28 or 29
// March). The result has no time of day.
DateTimeValue AddMonths(int count, DateTimeValue date);
// The Monday of the same week (weeks run Monday to Sunday); the time of day
// stays.
DateTimeValue WeekMonday(DateTimeValue x);
