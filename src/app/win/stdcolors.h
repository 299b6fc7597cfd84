#pragma once
// The standard-colours mode: on displays of 15 bits per pixel or fewer, or
// with "/kolorystandardowe" on the command line, every window switches to
// the system's colours whenever it becomes active.
#include <string>

class Control;

bool StandardColorsWanted(int bitsPerPixel, const std::wstring& commandLine);

// Switches a control and all its children.
void ApplyStandardColors(Control* control);

// Chains the check into the application's active-form handler.
void InstallStandardColorsHook();
