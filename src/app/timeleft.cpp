#include "app/timeleft.h"

#include <cmath>

#include "util/datetext.h"

std::optional<DateTimeValue> TimeLeft(std::int64_t pos, std::int64_t tot, DateTimeValue start, DateTimeValue now,
                                      DateTimeValue now2) {
    if (pos <= 3 || static_cast<double>(pos) >= 0.9 * static_cast<double>(tot) || start == 0) return std::nullopt;
    if (std::floor(now) != std::floor(start)) return std::nullopt;
    DateTimeValue elapsed = now - start;
    return elapsed * static_cast<double>(tot) / static_cast<double>(pos) - (now2 - start);
}

std::wstring TimeLeftText(DateTimeValue remaining) { return L"jeszcze ok. " + DurationText(remaining); }
