#pragma once
// The Windows registry: plain access under a root code, and the program's
// typed settings under HKEY_CURRENT_USER\Software\TEV\<section>.
//
// Reads never report: whatever goes wrong gives the caller's default and
// leaves the reason in LastRegistryError(). A failed string write shows
// "Nie udała się wymiana danych z Rejestrem Windows! ..." (the user may spare
// himself the message for the rest of the day) and the caller goes on.
// Every value written is a string value; integers and booleans as text.
//
// Machine-wide keys (HKEY_LOCAL_MACHINE) are the ones the TEV programs share:
// their paths under Software\TEV and their uninstall entries. The programs
// may be 32-bit, and Windows keeps a 32-bit program's machine-wide keys in
// the 32-bit view of the registry, so every access to that root goes to the
// 32-bit view (a 64-bit build asks for it with KEY_WOW64_32KEY); the user's
// keys are the same in both views.
//
// A user who is not an administrator may not write machine-wide keys. A
// machine-wide write that fails goes to the same key and value under
// HKEY_CURRENT_USER instead, which the readers of those values consult too;
// no message is shown for it, only a failure of that write is reported.
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
// A machine-wide write that fails falls back to the user's key (above).
void RegWriteString(int root, const std::wstring& keyPath, const std::wstring& name, const std::wstring& text);

// Makes every machine-wide write fail as it does for a standard user on
// Windows (Wine lets every user write everywhere); returns the previous
// setting. For tests: the rest of the layer behaves as it would for that
// user.
bool RefuseMachineWideWrites(bool refuse);

// The view flag of the root's keys (KEY_WOW64_32KEY for HKEY_LOCAL_MACHINE,
// none for the others), for code that opens the same keys itself.
#ifdef _WIN32
REGSAM RegistryViewOf(int root);
#endif

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
