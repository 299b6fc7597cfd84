#pragma once
// The main window's placement, written when it closes under
// HKEY_CURRENT_USER\Software\TEV\<section>. It is never read back: the window
// always opens centred.
#include <string>
#include <vector>

#include <windows.h>

// Values as written: name → text.
struct PlacementValue {
    std::wstring name;
    std::wstring value;
};

std::vector<PlacementValue> PlacementValues(const WINDOWPLACEMENT& wp, bool visible, int pixelsPerInch,
                                            int screenWidth, int screenHeight);

void WriteFormPlacement(HWND hwnd, const std::wstring& section);
