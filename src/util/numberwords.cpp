#include "util/numberwords.h"

#include <array>

#include "util/safeformat.h"

const std::wstring& PluralForm(const std::wstring& one, const std::wstring& few, const std::wstring& many,
                               std::int64_t n) {
    if (n == 1) return one;
    // The teens of every hundred take the plural of many: "112 plików",
    // "sto dwanaście tysięcy".
    if (n % 100 >= 10 && n % 100 <= 20) return many;
    const std::int64_t last = n % 10;
    return last >= 2 && last <= 4 ? few : many;
}

namespace {
const wchar_t* const PluralError = L"--- błąd ---";
}  // namespace

std::wstring PluralFormat(std::wstring_view pattern, const std::wstring& one, const std::wstring& few,
                          const std::wstring& many, std::int64_t n) {
    return TryFormat(pattern, {static_cast<long long>(n), PluralForm(one, few, many, n)}).value_or(PluralError);
}

std::wstring PluralWordsFormat(std::wstring_view pattern, const std::wstring& one, const std::wstring& few,
                               const std::wstring& many, std::int64_t n) {
    return TryFormat(pattern, {NumberInWords(n), PluralForm(one, few, many, n)}).value_or(PluralError);
}

namespace {
// The cardinal word of 0..19, of a full ten 20..90 or of a full hundred
// 100..900; the words of tens and hundreds end with a space.
const wchar_t* NumberWord(std::int64_t value) {
    static constexpr std::array<const wchar_t*, 20> units = {
        L"zero",       L"jeden",      L"dwa",          L"trzy",        L"cztery",
        L"pięć",       L"sześć",      L"siedem",       L"osiem",       L"dziewięć",
        L"dziesięć",   L"jedenaście", L"dwanaście",    L"trzynaście",  L"czternaście",
        L"piętnaście", L"szesnaście", L"siedemnaście", L"osiemnaście", L"dziewiętnaście"};
    static constexpr std::array<const wchar_t*, 10> tens = {
        L"", L"", L"dwadzieścia ", L"trzydzieści ", L"czterdzieści ", L"pięćdziesiąt ",
        L"sześćdziesiąt ", L"siedemdziesiąt ", L"osiemdziesiąt ", L"dziewięćdziesiąt "};
    static constexpr std::array<const wchar_t*, 10> hundreds = {
        L"", L"sto ", L"dwieście ", L"trzysta ", L"czterysta ", L"pięćset ",
        L"sześćset ", L"siedemset ", L"osiemset ", L"dziewięćset "};
    if (value < 20) return units[value];
    if (value < 100) return tens[value / 10];
    return hundreds[value / 100];
}
}  // namespace

std::wstring NumberInWords(std::int64_t n) {
    if (n > 999'999'999 || n < -999'999'999) return L"### za dużo! ;) ###";
    if (n == 0) return NumberWord(0);
    std::wstring prefix;
    if (n < 0) {
        prefix = L"minus ";
        n = -n;
    }
    const std::int64_t millions = n / 1'000'000;
    if (millions == 1)
        prefix += L"jeden milion ";
    else if (millions >= 2)
        prefix += PluralWordsFormat(L"%s %s ", L"milion", L"miliony", L"milionów", millions);
    n %= 1'000'000;
    const std::int64_t thousands = n / 1000;
    if (thousands == 1)
        prefix += L"jeden tysiąc ";
    else if (thousands >= 2)
        prefix += PluralWordsFormat(L"%s %s ", L"tysiąc", L"tysiące", L"tysięcy", thousands);
    n %= 1000;
    std::wstring words;
    if (n >= 100) words += NumberWord(n / 100 * 100);
    n %= 100;
    if (n >= 20) {
        words += NumberWord(n / 10 * 10);
        n %= 10;
    }
    if (n > 0) words += NumberWord(n);
    while (!words.empty() && words.back() == L' ') words.pop_back();
    return prefix + words;
}
