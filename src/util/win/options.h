#pragma once
// Options kept in both stores: the shared settings file first (they survive
// a reinstallation there), the registry settings second.
#include <string>

std::wstring ReadOption(const std::wstring& section, const std::wstring& name, const std::wstring& defaultValue);
bool ReadOptionBool(const std::wstring& section, const std::wstring& name, bool defaultValue);
int ReadOptionInt(const std::wstring& section, const std::wstring& name, int defaultValue);

// The registry first, then the shared settings file.
void WriteOption(const std::wstring& section, const std::wstring& name, const std::wstring& value);
void WriteOptionBool(const std::wstring& section, const std::wstring& name, bool value);
void WriteOptionInt(const std::wstring& section, const std::wstring& name, int value);
