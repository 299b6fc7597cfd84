#pragma once
// A timer on the GUI thread: OnTimer runs from the message loop every
// Interval milliseconds while the timer is enabled.
#include <functional>

class Timer {
public:
    explicit Timer(unsigned interval = 1000, bool enabled = false);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    std::function<void()> OnTimer;

private:
    void Restart();
    unsigned interval_;
    bool enabled_;
};
