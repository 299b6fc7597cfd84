#pragma once
// The offer of shortcuts to the program on its first run: on the desktop
// (not for the cleanup tool, whose path contains "vorozide") and in the
// user's Start menu. A missing shortcut is offered; one that leads to another
// file is offered to be corrected (a destructive question: "Tak" rewrites
// the user's shortcut); the path of a shortcut there afterwards is recorded
// under HKCU\Software\Tev\Lnk, by the product's name.
#include <string>

inline constexpr wchar_t kShortcutsKey[] = L"Software\\Tev\\Lnk";

void OfferShortcuts(const std::wstring& productName, const std::wstring& exePath);
