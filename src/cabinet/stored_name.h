#pragma once
// File names as a cabinet stores them: Windows-1250 bytes when every character
// has a Windows-1250 form (what the platform's own tools and older readers
// expect), otherwise UTF-8 with the name-is-UTF attribute set.
#include <cstdint>
#include <string>
#include <string_view>

struct StoredName {
    std::string bytes;
    bool utf8 = false;
};

StoredName EncodeStoredName(std::wstring_view name);
std::wstring DecodeStoredName(std::string_view bytes, uint16_t attributes);

// Equality of stored names ignoring the case of the letters A-Z only (the
// component's name matching; Polish letters compare exactly).
bool SameNameAsciiNoCase(std::wstring_view a, std::wstring_view b);
// The name with a-z as A-Z: equal keys for names SameNameAsciiNoCase finds
// equal (for looking many names up at once).
std::wstring NameKeyAsciiNoCase(std::wstring_view name);
