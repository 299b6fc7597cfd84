#pragma once
// The system's stock icons (information, stop sign, exclamation, question)
// at a given size in pixels, as icons the caller owns.
#include <windows.h>

HICON LoadStockIcon(LPCWSTR id, int pixels);
