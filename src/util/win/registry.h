#pragma once
// The Windows registry: plain access under a root code, and the program's
// typed settings under HKEY_CURRENT_USER\Software\TEV\<section>.
//
// Reads never report: whatever goes wrong gives the caller's default and
// leaves the reason in LastRegistryError(). A failed string write shows
// "Nie udała się wymiana danych z Rejestrem Windows! ..." (the user may spare
// himself the message for the rest of the day) and the caller goes on.
// Every value written is a string value; integers and booleans as text.
#include <string>
#include <vector>

// <windows.h> names its own function RegDeleteKey through a macro; taking it
// in first and dropping the macro lets this header's name stand whatever the
// order of includes.
#ifdef _WIN32
#include <windows.h>
#undef RegDeleteKey
#endif

// Root codes; only the low seven bits of a code count, and any code not
// listed here means the classes root.
enum RegistryRoot : int {
    kClassesRoot = 0,
    kCurrentUser = 1,
    kLocalMachine = 2,
    kUsers = 3,
    kDynData = 4,
};

// The message of the last failed registry operation; every read and write
// empties it first.
const std::wstring& LastRegistryError();

// The value as text: strings as they are, an expandable string as
// "*** ext string ***", a 32-bit number or a binary value of up to four bytes
// as signed decimal. A missing value, an empty string or a value of any other
// type gives the default.
std::wstring RegReadValue(int root, const std::wstring& keyPath, const std::wstring& name,
                          const std::wstring& defaultValue);

// Writes a string value, creating the key when missing; reports a failure.
void RegWriteString(int root, const std::wstring& keyPath, const std::wstring& name, const std::wstring& text);

// The names of the key's values / subkeys (the list is replaced); false when
// the key cannot be opened or listed.
bool RegValueNames(int root, const std::wstring& keyPath, std::vector<std::wstring>& names);
bool RegKeyNames(int root, const std::wstring& keyPath, std::vector<std::wstring>& names);

// Deletes the key with everything below it; false on any failure.
bool RegDeleteKey(int root, const std::wstring& keyPath);

// Settings: HKEY_CURRENT_USER, key "Software\TEV\" + section.
std::wstring SettingsKey(const std::wstring& section);
std::wstring ReadSetting(const std::wstring& section, const std::wstring& name, const std::wstring& defaultValue);
void WriteSetting(const std::wstring& section, const std::wstring& name, const std::wstring& value);
int ReadSettingInt(const std::wstring& section, const std::wstring& name, int defaultValue);
void WriteSettingInt(const std::wstring& section, const std::wstring& name, int value);
bool ReadSettingBool(const std::wstring& section, const std::wstring& name, bool defaultValue);
void WriteSettingBool(const std::wstring& section, const std::wstring& name, bool value);
