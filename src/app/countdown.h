#pragma once
// The message dialog's countdown: the dialog closes itself as if "OK" had
// been pressed when nobody answers it. Time is counted in ticks of the
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

// "okienko zniknie za N sek." and the second line of the time label.
std::wstring CountdownText(int secondsLeft);
