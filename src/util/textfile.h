#pragma once
// Appending lines to text files (logs, reports), as Windows-1250 bytes.
#include <string>

// Appends text and CR LF, creating the file when it does not exist. An
// existing file that cannot be opened for appending (another program holds it)
// is tried again for a moment and then left untouched: false, nothing lost.
// False for an empty path.
bool AppendLine(const std::wstring& path, const std::wstring& text);
