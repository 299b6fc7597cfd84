#pragma once
// Values of the information file "!!kopia.tev" whatever their characters.
// The file is Windows-1250, as the programs that read it expect. A text the
// code page cannot hold (a folder "C:\Dane\Москва", a comment in Spanish) is
// written under its key as the closest text the code page allows, which
// older readers take as before, and exactly under the key + "Unicode": its
// UTF-8 bytes, every byte outside plain printable ASCII (and "%", quotes,
// "~" and spaces) written as "%XX". Readers that know the second key prefer
// it; the others ignore it.
#include <optional>
#include <string>

// The name of the key that keeps the exact text of key.
std::wstring ExactKeyName(const std::wstring& key);
// The exact key's value for text; nullopt when the code page holds text as it is.
std::optional<std::wstring> ExactValue(const std::wstring& text);
// The text of an exact key's value; nullopt when it is not one.
std::optional<std::wstring> TextOfExactValue(const std::wstring& value);

// The section of an archive: its file name as the code page holds it, with
// "[" and "]" (which would end the section's header) as "(" and ")".
std::wstring InfoSectionName(const std::wstring& archiveFileName);

// Writes key (and, when needed, its exact key) of section; false when the
// file could not be written.
bool WriteInfoValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                    const std::wstring& text);
// The exact text when the exact key holds one, else the key's value; empty
// when neither is there.
std::wstring ReadInfoValue(const std::wstring& file, const std::wstring& section, const std::wstring& key);
