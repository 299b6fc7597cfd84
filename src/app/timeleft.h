#pragma once
// The progress window's estimate of the time an operation still needs.
#include <cstdint>
#include <optional>
#include <string>

#include "util/datetime.h"

// The time left when position pos of tot was reached at now, the work having
// started at start; now2 is the clock read again for the time already spent.
// No estimate for the first few steps (pos up to 3), from 90 % of the total
// on, without a start, or once the day has changed since the start.
std::optional<DateTimeValue> TimeLeft(std::int64_t pos, std::int64_t tot, DateTimeValue start, DateTimeValue now,
                                      DateTimeValue now2);

// "jeszcze ok. " and the duration in words.
std::wstring TimeLeftText(DateTimeValue remaining);
