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

std::wstring CountdownText(int secondsLeft, const std::wstring& answer) {
    if (answer.empty()) return SafeFormat(L"okienko zniknie za %d sek.\r\n(możesz zamknąć je sam)", {secondsLeft});
    return SafeFormat(L"okienko zniknie za %d sek.\r\ni odpowie „%s”", {secondsLeft, answer});
}

std::wstring CountdownHint(const std::wstring& answer) {
    return L"Ten wskaźnik pokazuje, za kiedy okienko zamknie się samo tak, jakbyś nacisnął przycisk " +
           (answer.empty() ? std::wstring(L"OK") : answer) + L".";
}
