#pragma once
// Sizes in bytes as Polish texts ("1,5 MB", "1,5 megabajtów"). Sizes are
// 64-bit, so files beyond 2 GB are shown as they are.
#include <cstdint>
#include <string>

// One decimal above 1024 bytes (thresholds strict: 1024 is "1024 B", 1025 is
// "1,0 kB"); the long form spells the unit out.
std::wstring SizeText(std::int64_t bytes, bool longForm);
// The same thresholds with two decimals, short units.
std::wstring SizeTextPrecise(std::int64_t bytes);
