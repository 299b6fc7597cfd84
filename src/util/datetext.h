#pragma once
// Polish texts of dates, times and spans. A value of 0 means "no date" and
// every date text gives "-" for it. Names of days and months are the program's
// own (util/polishlocale.h), never the system's; "today" is always passed in.
#include <string>
#include <string_view>

#include "util/datetime.h"

// Formats x by a pattern of the date formatter, after putting the genitive
// month name in place of the first "mmmmm" ("21 grudnia 2002") and the month
// as a Roman numeral in place of the first "%r" (lower case) and "%R"
// (capitals). Pattern letters (not case sensitive):
//   d dd ddd dddd   day, day with leading zero, short and full weekday name
//   ddddd dddddd    short and long date
//   m mm mmm mmmm   month, with leading zero, short and full name
//   yy yyyy         year
//   h hh n nn s ss  hour, minute, second; "m"/"mm" right after an hour is
//                   the minute
//   z zzz           millisecond
//   t tt c          short time, long time, date and time
//   am/pm a/p       12-hour clock markers
//   /  :            date separator ("-") and time separator
//   "..." '...'     copied literally
// Afterwards every "#" becomes a double quote and every "`" an apostrophe.
// Throws Failure when the pattern or the result exceeds 255 characters.
std::wstring FormatPolishDate(std::wstring_view pattern, DateTimeValue x);

// "wtorek, 21 grudnia 2002"
std::wstring LongDateText(DateTimeValue x);
// "21 grudnia 2002"
std::wstring DateText(DateTimeValue x);
// "21-12-2002"
std::wstring ShortDateText(DateTimeValue x);
// "wtorek, 21 grudnia 2002, 9:05"
std::wstring LongDateTimeText(DateTimeValue x);

// The day's distance from today in words: "dzisiaj", "wczoraj", "3 dni
// temu", "za tydzień", "2 miesiące temu"... The time of day of either value
// does not matter.
std::wstring RelativeDayText(DateTimeValue x, DateTimeValue today);

// A span (fraction of a day) as "1 godz. 5 min. 3 sek."; whole days are
// dropped; spans under two seconds show hundredths: "1,25 sek.".
std::wstring DurationText(DateTimeValue span);
