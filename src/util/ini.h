#pragma once
// INI files ("!!kopia.tev", "c:\tev.ini") read and written as Windows-1250
// bytes whatever the system's code page, with the platform's profile rules:
// section and key names compared without regard to case, the first match
// wins, values trimmed and stripped of enclosing quotes on reading.
//
// A double quote is stored as "~" (the reader would strip enclosing quotes),
// so a "~" reads back as a double quote. Values come back cut to 200
// characters. Reads and writes report nothing, except a text that has no
// Windows-1250 form, which raises a Failure rather than being mangled.
#include <string>

// The value, or the default when the key is absent or its value is empty.
std::wstring IniReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue);
// The same without the cut at 200 characters, for keys only this program
// reads; empty when the key is absent.
std::wstring IniReadWhole(const std::wstring& file, const std::wstring& section, const std::wstring& key);
// Creates the file, section or key as needed; false when the file could not be written.
bool IniWriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                    const std::wstring& text);

// The leading decimal number of the value (as the platform reads it: "12 szt." is
// 12, "abc" is 0); the default when the key is absent or empty.
int IniReadInt(const std::wstring& file, const std::wstring& section, const std::wstring& key, int defaultValue);
bool IniWriteInt(const std::wstring& file, const std::wstring& section, const std::wstring& key, int value);

bool IniReadBool(const std::wstring& file, const std::wstring& section, const std::wstring& key, bool defaultValue);
bool IniWriteBool(const std::wstring& file, const std::wstring& section, const std::wstring& key, bool value);
