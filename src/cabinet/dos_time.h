#pragma once
// DOS date and time words, as cabinets store a file's last-write time (local
// time, two-second steps, years 1980..2107):
//   date = (year - 1980) << 9 | month << 5 | day
//   time = hour << 11 | minute << 5 | second / 2
// Both are read as unsigned: a time after 16:00 has the top bit set.
#include "util/datetime.h"

#include <cstdint>
#include <ctime>
#include <optional>

struct DosStamp {
    uint16_t date = 0;
    uint16_t time = 0;
};

struct CivilTime {
    int year, month, day, hour, minute, second;
};

// nullopt when the words do not form a valid date and time.
std::optional<CivilTime> DecodeDos(DosStamp stamp);
// Clamped to the years DOS words can hold.
DosStamp EncodeDos(const CivilTime& time);

// The stored stamp as a DateTimeValue; 0 when it is not a valid date.
DateTimeValue DosToDateTime(DosStamp stamp);

// Local time <-> seconds since 1970 (the platform's time-zone rules).
bool LocalTime(std::time_t seconds, std::tm& out);
DosStamp DosFromUnixLocal(std::time_t seconds);
std::optional<std::time_t> UnixFromDosLocal(DosStamp stamp);
