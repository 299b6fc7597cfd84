#pragma once
// Text output of the tool: UTF-8 on POSIX terminals and pipes; on Windows
// wide characters to a console and UTF-8 to a pipe or file.
#include <string_view>

void Out(std::wstring_view text);
void Err(std::wstring_view text);
// True when standard error is a terminal (progress is shown only there).
bool ErrIsTerminal();
