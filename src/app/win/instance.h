#pragma once
// The single-instance guard: a global atom whose text is the executable's
// full path. It outlives a crashed copy, which is why the question admits
// that the earlier copy may have ended unexpectedly.
#include <string>

// Looks for the atom and asks when it exists; false when the user chose not
// to start another copy. Adds the atom when none exists.
bool SingleInstanceCheck(const std::wstring& exePath);

// Deletes one reference of the atom (at the end of the run).
void ReleaseSingleInstance(const std::wstring& exePath);

// The question's text.
std::wstring SingleInstanceQuestion(const std::wstring& exePath);
