#pragma once
// Facts about the computer for the update notice and the technical contact,
// read where current Windows keeps them (the keys of Windows 9x are read
// first, where a value still lives there).
#include <string>
#include <utility>
#include <vector>

#include "util/win/identity.h"

// Empty where the system says nothing.
struct WindowsFacts {
    std::wstring version;            // "Version": "22H2" (DisplayVersion), else "CurrentVersion"
    std::wstring versionNumber;      // "VersionNumber": "10.0.19045.3803"
    std::wstring plusVersionNumber;  // "Plus! VersionNumber"
    std::wstring productName;        // "Windows 11 Pro"
};
WindowsFacts ReadWindowsFacts();

// The rows of the contact's information grid: program, wersja, data,
// Windows, IE, Office, RAM i dysk, internet, drukarka, sieć.
std::vector<std::pair<std::wstring, std::wstring>> ContactInfoRows(const TNazwaAplikacji& program);
