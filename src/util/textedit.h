#pragma once
// Small editing helpers on texts: trimming, padding, shortening, counting,
// character filters, title case and the two-line split of printed forms.
#include <string>
#include <string_view>
#include <utility>

// Removes c from both ends, repeatedly.
void TrimChar(std::wstring& text, wchar_t c);
void TrimSpaces(std::wstring& text);

// Adds c on the left (onLeft) or on the right until the text is at least
// width long.
std::wstring PadWithChar(wchar_t c, bool onLeft, size_t width, std::wstring_view text);
std::wstring PadWithSpaces(bool onLeft, size_t width, std::wstring_view text);

// "tak" or "nie".
std::wstring TakNieText(bool value);

// A text longer than max (max > 0) is cut to max characters, then back to the
// last space while it is longer than max / 2, and gets "…" appended.
std::wstring ShortenText(size_t max, std::wstring_view text);

// "\r\n" becomes "<br>", every other control character a space.
std::wstring NewlinesToBreaks(std::wstring_view text);

size_t CountChar(wchar_t c, std::wstring_view text);

// Character filters: every other character is removed.
std::wstring DigitsOnly(std::wstring_view text);
std::wstring LettersOnly(std::wstring_view text);
// Letters, digits, "-", "." and "_".
std::wstring NameCharsOnly(std::wstring_view text);
// The same and spaces.
std::wstring NameCharsAndSpacesOnly(std::wstring_view text);

// Polish title case for names and addresses: "ul. jana pawła ii" gives
// "ul. Jana Pawła II".
std::wstring CapitalizeWords(std::wstring_view text);

// Splits a text into the two 50-character lines of a printed form: up to 50
// characters stay one line; up to 100 are split after the last space at or
// before position 51 (at 50 when there is none or the rest would not fit);
// longer texts are cut into two lines of 50.
std::pair<std::wstring, std::wstring> SplitInTwoLines(std::wstring_view text);
