#pragma once
// Fields of texts split at separators.
#include <string>
#include <string_view>

// The n-th field (from 1) of text split at sep; empty for n = 0 or when the
// text has fewer than n - 1 separators. FieldAt(':', 3, "12:30:00") is "00".
std::wstring FieldAt(wchar_t sep, size_t n, std::wstring_view text);

// The n-th element (from 1) of a text whose elements are separated by "=" or
// ";". Each step moves past the first "=" when the text still has one, else
// past the first ";", so in "a=1;b=2" the third element is "2", not "b".
std::wstring ListItemAt(size_t n, std::wstring_view text);
