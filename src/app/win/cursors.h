#pragma once
// The program's own cursors, known by number as the windows use them:
// 3 is the hand over links, 4 the pointer over list items.
#include <windows.h>

inline constexpr int crHand = 3;
inline constexpr int crItem = 4;

// Loads the resource cursors "HAND" and "ITEM".
void LoadCustomCursors();
// The cursor of that number; the arrow for numbers not loaded.
HCURSOR CustomCursor(int number);
