#pragma once
// Booleans kept as text in the registry and INI files: written "True" or
// "False"; read true for "1", "true", "tak" or "yes" in any case.
#include <string>

bool TextToBool(const std::wstring& text);
std::wstring BoolToText(bool value);
