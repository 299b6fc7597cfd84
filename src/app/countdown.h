#pragma once
// The message dialog's countdown: the dialog closes itself as if "OK" had
// been pressed when nobody answers it, or, for a destructive question, as if
// the button that keeps the data had been. Time is counted in ticks of the
// dialog's timer.
#include <string>

// Ticks of a timer of the given interval (ms) in timeout seconds; a negative
// timeout means no countdown and is kept as it is.
int CountdownLength(int timeoutSeconds, int intervalMs);

// What one tick (number tick, from 0) of a countdown of length ticks shows.
struct CountdownTick {
    int percent = 0;          // the gauge's position
    bool gaugeShown = false;  // after 35 %
    bool timeShown = false;   // the time label and the stop button, after 30 %
    int secondsLeft = 0;
    bool expired = false;     // past the last tick: close as "OK"
};
CountdownTick CountdownAt(int tick, int length, int intervalMs);

// "okienko zniknie za N sek." and the second line of the time label. With
// an answer (the caption of the button a destructive question takes), the
// second line names it.
std::wstring CountdownText(int secondsLeft, const std::wstring& answer = {});
// The gauge's hint: which button the closing counts as.
std::wstring CountdownHint(const std::wstring& answer = {});
