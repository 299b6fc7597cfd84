#pragma once
// The executables of the running processes, by their image paths.
#include <string>
#include <vector>

std::vector<std::wstring> RunningImagePaths();
// True when a running process was started from this file (any letter case).
bool IsRunningProgram(const std::wstring& path, const std::vector<std::wstring>& running);
