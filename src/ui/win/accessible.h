#pragma once
// Windowless controls for screen readers and UI automation. They have no
// window of their own, so the window that paints them answers WM_GETOBJECT
// for its client area with an accessible object whose children are those
// controls (name: their plain text, role, rectangle on screen) and its child
// windows (their own standard objects). Everything else about the window
// itself comes from the system's standard object.
#include <windows.h>

class WinControl;

// The answer to WM_GETOBJECT(wp, lp) for a window of the layer; 0 when the
// system's own answer will do (another object, or no windowless children).
LRESULT AnswerAccessibleObject(WinControl* window, WPARAM wp, LPARAM lp);
