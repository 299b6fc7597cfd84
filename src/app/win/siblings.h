#pragma once
// The running-siblings warning: other programs of the TEV family that work on
// the same data files at this moment.
#include <string>
#include <vector>

// Executables of every running process, each once (case-insensitive); this
// program's own path is skipped while the list is still empty.
std::vector<std::wstring> RunningExecutables(const std::wstring& ownPath);

// Of these, the sibling programs: a version resource whose company name
// contains "tev", other than this program and the two helper tools.
std::vector<std::wstring> SiblingPrograms(const std::vector<std::wstring>& executables, const std::wstring& ownPath);

// True when siblings run and the question was not asked or answered "no".
// With endOnNo, a "no" ends the process at once.
bool CheckRunningSiblings(bool ask, bool endOnNo);
