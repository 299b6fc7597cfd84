#include "cabinet/dos_time.h"

#include <algorithm>

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<CivilTime> DecodeDos(DosStamp stamp) {
    CivilTime t{1980 + (stamp.date >> 9), (stamp.date >> 5) & 0x0F, stamp.date & 0x1F,
                stamp.time >> 11, (stamp.time >> 5) & 0x3F, (stamp.time & 0x1F) * 2};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
}

DosStamp EncodeDos(const CivilTime& t) {
    if (t.year < 1980) return {static_cast<uint16_t>(1 << 5 | 1), 0};
    if (t.year > 2107) return {static_cast<uint16_t>(127 << 9 | 12 << 5 | 31), static_cast<uint16_t>(23 << 11 | 59 << 5 | 29)};
    return {static_cast<uint16_t>((t.year - 1980) << 9 | t.month << 5 | t.day),
            static_cast<uint16_t>(t.hour << 11 | t.minute << 5 | t.second / 2)};
}

DateTimeValue DosToDateTime(DosStamp stamp) {
    const auto t = DecodeDos(stamp);
    if (!t) return 0;
    constexpr long kDaysFrom1899To1970 = 25569;
    const long days = DaysFromCivil(t->year, t->month, t->day) + kDaysFrom1899To1970;
    return days + (t->hour * 3600 + t->minute * 60 + t->second) / 86400.0;
}

bool LocalTime(std::time_t seconds, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &seconds) == 0;
#else
    return localtime_r(&seconds, &out) != nullptr;
#endif
}

DosStamp DosFromUnixLocal(std::time_t seconds) {
    std::tm tm{};
    if (!LocalTime(seconds, tm)) return EncodeDos({1980, 1, 1, 0, 0, 0});
    return EncodeDos({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59)});
}

std::optional<std::time_t> UnixFromDosLocal(DosStamp stamp) {
    const auto t = DecodeDos(stamp);
    if (!t) return std::nullopt;
    std::tm tm{};
    tm.tm_year = t->year - 1900;
    tm.tm_mon = t->month - 1;
    tm.tm_mday = t->day;
    tm.tm_hour = t->hour;
    tm.tm_min = t->minute;
    tm.tm_sec = t->second;
    tm.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&tm);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return seconds;
}
