#include "ui/win/timer.h"

#include <windows.h>

#include "ui/win/control.h"

namespace {

// Timers live on one message-only window; the timer's address is its id.
LRESULT CALLBACK TimerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        auto* t = reinterpret_cast<Timer*>(wp);
        try {
            if (t->OnTimer) t->OnTimer();
        } catch (...) {
            HandleFailure(std::current_exception());
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND TimerWindow() {
    static HWND hwnd = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TimerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ArchiwinTimers";
        RegisterClassW(&wc);
        return CreateWindowW(L"ArchiwinTimers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return hwnd;
}

}  // namespace

Timer::Timer(unsigned interval, bool enabled) : interval_(interval), enabled_(enabled) { Restart(); }

Timer::~Timer() { KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this)); }

void Timer::SetInterval(unsigned ms) {
    interval_ = ms;
    Restart();
}

void Timer::SetEnabled(bool on) {
    enabled_ = on;
    Restart();
}

void Timer::Restart() {
    KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this));
    if (enabled_ && interval_ > 0) SetTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this), interval_, nullptr);
}
