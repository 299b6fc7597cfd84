#pragma once
// Numbers in Polish words and plural forms of counted nouns.
#include <cstdint>
#include <string>
#include <string_view>

// The noun form for a count: one for 1; many when the last two digits are
// 10..20 (12, 112); few when the count ends in 2, 3 or 4 (22, 104); many
// otherwise (also 0, negative counts, 21, 25, 111).
const std::wstring& PluralForm(const std::wstring& one, const std::wstring& few, const std::wstring& many,
                               std::int64_t n);

// SafeFormat(pattern, n, form): PluralFormat(L"%d %s", L"plik", L"pliki",
// L"plików", 5) gives "5 plików". Any error gives "--- błąd ---".
std::wstring PluralFormat(std::wstring_view pattern, const std::wstring& one, const std::wstring& few,
                          const std::wstring& many, std::int64_t n);
// The same with the count in words: "pięć plików".
std::wstring PluralWordsFormat(std::wstring_view pattern, const std::wstring& one, const std::wstring& few,
                               const std::wstring& many, std::int64_t n);

// The number in Polish words: 1234 gives "jeden tysiąc dwieście trzydzieści
// cztery"; a round thousand keeps the space after "tysięcy" ("pięć tysięcy ").
// Magnitudes above 999 999 999 give "### za dużo! ;) ###".
std::wstring NumberInWords(std::int64_t n);
