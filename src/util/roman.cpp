#include "util/roman.h"

#include <array>

std::wstring RomanNumeral(std::int32_t n) {
    if (n < 1 || n > 3998) return std::to_wstring(n);
    static constexpr std::array<const wchar_t*, 10> hundreds = {L"", L"C", L"CC", L"CCC", L"CD", L"D",
                                                                L"DC", L"DCC", L"DCCC", L"CM"};
    static constexpr std::array<const wchar_t*, 10> tens = {L"", L"X", L"XX", L"XXX", L"XL", L"L",
                                                            L"LX", L"LXX", L"LXXX", L"XC"};
    static constexpr std::array<const wchar_t*, 10> units = {L"", L"I", L"II", L"III", L"IV", L"V",
                                                             L"VI", L"VII", L"VIII", L"IX"};
    return std::wstring(static_cast<size_t>(n / 1000), L'M') + hundreds[n / 100 % 10] + tens[n / 10 % 10] +
           units[n % 10];
}
