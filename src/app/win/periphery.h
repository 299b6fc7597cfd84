#pragma once
#include <string>

// Windows of the TEV programs' shared modules that this program does not
// carry: the installer of the maker's programs, the printing settings and
// the order form. Each is a notice that says what to do instead; it has only
// "OK", since there is nothing to cancel.

// "/instaluj"
void InstallerNotice();
// "/ustawienia"
void PrintSettingsNotice();
// The menu's "Zamów nasze programy..." for the named program.
void OrderFormNotice(const std::wstring& productName);
