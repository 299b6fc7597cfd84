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

// Without loss, for formats whose texts may hold any byte (the data files'
// object streams, where a sibling program may keep binary data in a text):
// the five unused bytes become U+0081, U+0083, U+0088, U+0090 and U+0098, as
// Windows itself maps them, and every byte string comes back unchanged.
std::wstring Cp1250ToWideExact(std::string_view bytes);
// The inverse; nullopt when a character has no byte, with its position in
// *badIndex when given.
std::optional<std::string> WideToCp1250Exact(std::wstring_view text, size_t* badIndex = nullptr);
// The same appended to `out` (one byte per character); on failure `out` is
// left as it was.
bool AppendCp1250Exact(std::wstring_view text, std::string& out, size_t* badIndex = nullptr);
// The closest text Windows-1250 can hold: characters it has stay, Latin
// letters it lacks lose their accents ("ñ" → "n", "Æ" → "AE"), Cyrillic is
// written in Latin letters the Polish way ("Москва" → "Moskwa"), anything
// else becomes '?'.
std::wstring Cp1250BestFit(std::wstring_view text);

// UTF-8 helpers for formats that carry Unicode (and for diagnostics).
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);
