#include "util/amounts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "util/failure.h"
#include "util/numberwords.h"
#include "util/polishlocale.h"
#include "util/safeformat.h"
#include "util/textcase.h"

namespace {
constexpr Amount NoRoundingAbove = 999'999 * AmountPerZloty;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Whole grosze of an amount, halves rounded up.
std::int64_t GroszeHalfUp(Amount a) { return FloorDiv(a + 50, 100); }

FormatArg Money(Amount a) { return FormatArg::Scaled(a, 4); }

std::wstring TwoDigits(std::int64_t n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

// Three-letter words of the digits 0..9 on transfer forms.
constexpr const wchar_t* DigitSyllables[] = {L"zer", L"jed", L"dwa", L"trz", L"czt",
                                             L"pie", L"sze", L"sie", L"osi", L"dzi"};

std::wstring DigitWords(std::wstring_view digits) {
    std::wstring out;
    for (wchar_t c : digits) {
        if (!out.empty()) out += L'*';
        out += DigitSyllables[c - L'0'];
    }
    return out;
}

std::optional<Amount> ParseAmount(std::wstring_view text) {
    std::wstring s(text);
    if (ContainsNoCase(L"gr", s) && !ContainsNoCase(L"zł", s)) s = L"0." + s;
    if (s.find(L'.') != std::wstring::npos && s.find(polish::DecimalSeparator) == std::wstring::npos) {
        for (auto& c : s)
            if (c == L'.') c = polish::DecimalSeparator;
    } else {
        std::erase(s, polish::ThousandSeparator);
    }
    std::erase_if(s, [](wchar_t c) { return c != L'-' && c != polish::DecimalSeparator && (c < L'0' || c > L'9'); });

    size_t i = 0;
    const bool negative = !s.empty() && s[0] == L'-';
    if (negative) ++i;
    // Built as a negative number, which reaches one further than a positive.
    std::int64_t value = 0;
    int decimals = -1;  // -1: before the separator
    bool digits = false, roundUp = false;
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    for (; i < s.size(); ++i) {
        const wchar_t c = s[i];
        if (c == polish::DecimalSeparator) {
            if (decimals >= 0) return std::nullopt;
            decimals = 0;
            continue;
        }
        if (c == L'-') return std::nullopt;
        digits = true;
        if (decimals >= 4) {  // beyond the ten-thousandths: rounded, half away from zero
            if (decimals++ == 4) roundUp = c >= L'5';
            continue;
        }
        if (decimals >= 0) ++decimals;
        if (value < min / 10 || value * 10 < min + (c - L'0')) return std::nullopt;
        value = value * 10 - (c - L'0');
    }
    if (!digits) return std::nullopt;
    for (int k = decimals < 0 ? 0 : std::min(decimals, 4); k < 4; ++k) {
        if (value < min / 10) return std::nullopt;
        value *= 10;
    }
    if (roundUp) {
        if (value == min) return std::nullopt;
        --value;
    }
    if (negative) return value;
    if (value == min) return std::nullopt;
    return -value;
}
}  // namespace

std::int32_t RoundHalfUp(long double x) {
    const long double whole = std::trunc(x);
    const long double fraction = x - whole;
    const long double rounded = (fraction == 0.5L || fraction == -0.5L) ? std::round(x + 0.1L) : std::round(x);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
        throw Failure(L"Liczba jest poza zakresem.");
    return static_cast<std::int32_t>(rounded);
}

Amount RoundToGrosze(Amount a) {
    if (a > NoRoundingAbove || a % AmountPerZloty == 0) return a;
    return GroszeHalfUp(a) * 100;
}

std::wstring AmountText(Amount a) { return SafeFormat(L"%.2n zł", {Money(RoundToGrosze(a))}); }

std::wstring AmountTextExact(Amount a) {
    if (a % 100 == 0) return AmountText(a);
    return SafeFormat(a % 10 == 0 ? L"%.03n zł" : L"%.04n zł", {Money(a)});
}

std::wstring AmountPlain(Amount a) { return SafeFormat(L"%.02f", {Money(a)}); }

std::wstring AmountInWords(Amount a) {
    const std::wstring prefix = a < 0 ? L"minus " : L"";
    const Amount rounded = RoundToGrosze(a);
    // In grosze, computed on the magnitude without overflow.
    const std::uint64_t magnitude =
        rounded < 0 ? 0 - static_cast<std::uint64_t>(rounded) : static_cast<std::uint64_t>(rounded);
    const std::uint64_t grosze = (magnitude + 50) / 100;
    return prefix + SafeFormat(L"%s %s/100", {NumberInWords(static_cast<std::int64_t>(grosze / 100)),
                                              TwoDigits(static_cast<std::int64_t>(grosze % 100))});
}

std::wstring AmountInDigitWords(bool groszeAsFraction, Amount a) {
    const Amount rounded = RoundToGrosze(a);
    if (rounded < 0) throw Failure(L"Kwoty ujemnej nie można zapisać słownie cyframi.");
    const std::int64_t grosze = GroszeHalfUp(rounded);
    std::wstring out = DigitWords(std::to_wstring(grosze / 100)) + L"*zł*";
    const std::wstring fraction = TwoDigits(grosze % 100);
    if (groszeAsFraction) return out + fraction + L"/100";
    return out + DigitWords(fraction) + L"*gr";
}

std::wstring CompareAmountsText(Amount a, Amount b) {
    const long double difference = std::fabs(static_cast<long double>(a) - static_cast<long double>(b));
    if (0.1L * static_cast<long double>(a) > difference) return L"mniej więcej tyle samo";
    return a >= b ? L"mniej" : L"więcej";
}

Amount ParseAmountText(std::wstring_view text, Amount fallback) { return ParseAmount(text).value_or(fallback); }

Amount TextToAmount(std::wstring_view text) {
    if (text.empty()) return 0;
    if (const auto amount = ParseAmount(text)) return *amount;
    throw Failure(SafeFormat(L"%s nie jest liczbą!", {std::wstring(text)}));
}
