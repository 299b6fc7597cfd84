#pragma once
// The hourglass for the life of a scope: shown when made, and the cursor
// that was there before put back when it goes.
#include <windows.h>

class BusyCursor {
public:
    BusyCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};
