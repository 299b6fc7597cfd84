#pragma once
// Saves what a window shows (or the whole virtual screen) as a PNG file, so a
// test, and a person after it, can look at it. The window must be on screen:
// the pixels are taken from the screen, as the user sees them.
#include <windows.h>

#include <string>

// Repaints everything waiting, then saves; false on failure.
bool CaptureWindowPng(HWND hwnd, const std::wstring& path);
bool CaptureScreenPng(const std::wstring& path);
// The screen's pixels in r (screen coordinates), as they are now.
bool CaptureRectPng(const RECT& r, const std::wstring& path);

// A folder for the test's pictures: %ARCHIWIN_SHOTS% or the current folder.
std::wstring ShotPath(const std::wstring& name);
