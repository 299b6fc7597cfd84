#pragma once
// Dated log lines: "dd-mm-yyyy hh:mm:ss - text".
#include <string>

// Appends the dated line to the file; a bare file name goes beside the
// executable.
bool AppendLog(const std::wstring& path, const std::wstring& text);

// Appends the dated line to the program's log (the executable's path +
// ".log") and to the text of this run's log.
bool ProgramLog(const std::wstring& text);
// This run's log lines, each ending in CR LF.
const std::wstring& ProgramLogText();
