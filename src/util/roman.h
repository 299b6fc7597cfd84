#pragma once
// Roman numerals: months in dates ("10 XII 2026") and title case ("Jana
// Pawła II").
#include <cstdint>
#include <string>

// Capital Roman numeral for 1..3998, the decimal digits otherwise.
std::wstring RomanNumeral(std::int32_t n);
