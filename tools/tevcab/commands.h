#pragma once
#include <string>
#include <vector>

// Runs one tevcab command line (without the program name); returns the exit
// code. Messages go to standard error.
int RunTevcab(const std::vector<std::wstring>& args);
