#include "app/countdown.h"

#include <cmath>

#include "util/safeformat.h"

int CountdownLength(int timeoutSeconds, int intervalMs) {
    if (timeoutSeconds < 0) return timeoutSeconds;
    return 1000 / intervalMs * timeoutSeconds;
}

CountdownTick CountdownAt(int tick, int length, int intervalMs) {
    CountdownTick t;
    // A countdown of no ticks is over at once.
    t.percent = length > 0 ? static_cast<int>(std::lround(tick * 100.0 / length)) : 100;
    t.gaugeShown = t.percent > 35;
    t.timeShown = t.percent > 30;
    t.secondsLeft = (length - tick) / (1000 / intervalMs) + 1;
    t.expired = tick > length;
    return t;
}

std::wstring CountdownText(int secondsLeft) {
    return SafeFormat(L"okienko zniknie za %d sek.\r\n(możesz zamknąć je sam)", {secondsLeft});
}
