#pragma once
#include <string>

// Tells the user that a function of the menu is not part of this version yet.
void NotAvailableYet(const std::wstring& function);
