#pragma once
// Windows-1250 (Central European) codec. Byte formats that the sibling
// programs read keep this code page whatever the system's own is, so the
// conversion is done here and never through the system's ANSI code page.
#include <optional>
#include <string>
#include <string_view>

// Bytes to text; every byte has a meaning except five unused ones, which
// become U+FFFD.
std::wstring Cp1250ToWide(std::string_view bytes);

// Text to bytes; nullopt when some character has no Windows-1250 form.
std::optional<std::string> WideToCp1250(std::wstring_view text);

// Text to bytes, with '?' for characters that have no Windows-1250 form.
std::string WideToCp1250Lossy(std::wstring_view text);

// UTF-8 helpers for formats that carry Unicode (and for diagnostics).
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);
