#pragma once
// Sums of money: an Amount counts ten-thousandths of a złoty; grosze are
// hundredths. Texts use the program's Polish separators: "1 234,56 zł".
#include <cstdint>
#include <string>
#include <string_view>

using Amount = std::int64_t;

inline constexpr Amount AmountPerZloty = 10'000;

// Rounds to the nearest integer, halves towards plus infinity (2.5 -> 3,
// -2.5 -> -2). Throws Failure outside the 32-bit range.
std::int32_t RoundHalfUp(long double x);

// The amount rounded to whole grosze (halves up); amounts above 999 999 zł
// and whole złote are returned unchanged.
Amount RoundToGrosze(Amount a);

// "1 234,56 zł" (rounded to grosze).
std::wstring AmountText(Amount a);
// Like AmountText, but with three or four decimals when the amount has them:
// "1,2345 zł", "1,235 zł", "1,20 zł".
std::wstring AmountTextExact(Amount a);
// "1234,56": no thousands separators, no currency.
std::wstring AmountPlain(Amount a);
// "sto dwadzieścia trzy 45/100", "minus pięć 00/100".
std::wstring AmountInWords(Amount a);
// "jed*dwa*trz*zł*45/100" (groszeAsFraction) or "jed*dwa*trz*zł*czt*pie*gr",
// as written on transfer forms. Throws Failure for a negative amount.
std::wstring AmountInDigitWords(bool groszeAsFraction, Amount a);

// How b relates to a: "mniej więcej tyle samo" when they differ by less than
// a tenth of a (never for a <= 0), "mniej" when b <= a, else "więcej".
std::wstring CompareAmountsText(Amount a, Amount b);

// Reads an amount as people type it: "12.50", "12,50 zł", "1 234,56 zł",
// "45 gr" (0,45 zł). Gives fallback when the text is not an amount.
Amount ParseAmountText(std::wstring_view text, Amount fallback);
// The same, 0 for an empty text; throws Failure "<text> nie jest liczbą!"
// when the text is not an amount.
Amount TextToAmount(std::wstring_view text);
