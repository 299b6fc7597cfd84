#include "ui/kit/shade.h"

#include <algorithm>

namespace {

// numerator / denominator rounded to the nearest integer, halves to even;
// exact integer arithmetic, so 10 × 1.05 = 10.5 really is a half.
int RoundHalfEven(int numerator, int denominator) {
    int quotient = numerator / denominator;
    int twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 == 1)) ++quotient;
    return quotient;
}

MarkupColor Scale(MarkupColor rgb, int numerator, int denominator) {
    MarkupColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int channel = static_cast<int>((rgb >> shift) & 0xFF);
        int scaled = std::min(255, RoundHalfEven(channel * numerator, denominator));
        out |= static_cast<MarkupColor>(scaled) << shift;
    }
    return out;
}

}  // namespace

MarkupColor LighterRgb(MarkupColor rgb) { return Scale(rgb, 105, 100); }

MarkupColor DarkerRgb(MarkupColor rgb) { return Scale(rgb, 20, 21); }
