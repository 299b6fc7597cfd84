#pragma once
// Progress of long work, reported by the program's functions and shown by the
// program's progress window (its ProgressDisplay, registered with the
// program's side; without one the reports go nowhere):
//
//   ShowStatus(L"Dodaję pliki do listy");
//   for (...) ShowProgress(i, n);
//   ShowStatus(L"Kompresuję pliki...");  // then UpdateProgress from the writer
//   FinishProgress();
//
// A status text "short|long" shows its short part at the left and the long
// part at the right of the status line.
#include <cstdint>
#include <string>

// Creates and shows the window, sets the status line, restarts the time
// base and the hide timer, and repaints.
void ShowStatus(const std::wstring& text);
// Position of count items; only once the window exists.
void ShowProgress(std::int64_t position, std::int64_t count);
// Progress of a long step (for example one data block of the cabinet writer),
// with the time left; pumps the waiting window messages. Only once the window
// exists. The form with a sender fits the cabinet writer's progress event.
void UpdateProgress(std::int64_t pos, std::int64_t tot);
void UpdateProgress(const void* sender, std::int64_t pos, std::int64_t tot);
// Hides the bar and lets the window go within 10 ms; the main window's
// title shows the current data set again.
void FinishProgress();

// Finishes the report (FinishProgress) however the work ends.
class ProgressScope {
public:
    ProgressScope() = default;
    ~ProgressScope() { FinishProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
};

// Work the user may stop. While a StopOffer lives the progress window offers
// "Przerwij" (a click or Esc); the work asks StopRequested() now and then,
// which also lets waiting window messages through, and ends cleanly when it
// is true:
//
//   StopOffer offer;
//   for (...) { if (StopRequested()) break; ... }
class StopOffer {
public:
    StopOffer();
    ~StopOffer();
    StopOffer(const StopOffer&) = delete;
    StopOffer& operator=(const StopOffer&) = delete;
};
bool StopRequested();
// Asks the running work to stop at its next chance, also when it offers
// stopping only later; the request lasts until the stoppable part ends or
// ForgetStopRequest is called (when the command that ran ends).
void RequestStop();
void ForgetStopRequest();

// The window that shows the reports.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void ShowStatus(const std::wstring& text) = 0;
    virtual void ShowProgress(std::int64_t position, std::int64_t count) = 0;
    virtual void UpdateProgress(std::int64_t pos, std::int64_t tot) = 0;
    virtual void FinishProgress() = 0;
    // Shows or takes away the offer to stop; showing it clears an earlier
    // request.
    virtual void OfferStop(bool) {}
    // Lets waiting messages through; true once the user asked to stop.
    virtual bool StopRequested() { return false; }
    // Sets (true) or clears (false) a request to stop.
    virtual void RequestStop(bool) {}
};
