#include "util/textedit.h"

#include <array>

#include "util/roman.h"
#include "util/textcase.h"

void TrimChar(std::wstring& text, wchar_t c) {
    const size_t first = text.find_first_not_of(c);
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(c) + 1);
    text.erase(0, first);
}

void TrimSpaces(std::wstring& text) { TrimChar(text, L' '); }

std::wstring PadWithChar(wchar_t c, bool onLeft, size_t width, std::wstring_view text) {
    std::wstring out(text);
    if (out.size() < width) {
        if (onLeft)
            out.insert(0, width - out.size(), c);
        else
            out.append(width - out.size(), c);
    }
    return out;
}

std::wstring PadWithSpaces(bool onLeft, size_t width, std::wstring_view text) {
    return PadWithChar(L' ', onLeft, width, text);
}

std::wstring TakNieText(bool value) { return value ? L"tak" : L"nie"; }

std::wstring ShortenText(size_t max, std::wstring_view text) {
    if (max == 0 || text.size() <= max) return std::wstring(text);
    std::wstring out(text.substr(0, max));
    while (out.size() > max / 2 && out.back() != L' ') out.pop_back();
    out += L'\u2026';
    return out;
}

std::wstring NewlinesToBreaks(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            out += L"<br>";
            ++i;
        } else {
            out += static_cast<unsigned>(text[i]) < 32 ? L' ' : text[i];
        }
    }
    return out;
}

size_t CountChar(wchar_t c, std::wstring_view text) {
    size_t n = 0;
    for (wchar_t x : text) n += x == c;
    return n;
}

namespace {
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsNameChar(wchar_t c) { return IsLetter(c) || IsDigit(c) || c == L'-' || c == L'.' || c == L'_'; }

template <class Keep>
std::wstring Filter(std::wstring_view text, Keep keep) {
    std::wstring out;
    for (wchar_t c : text)
        if (keep(c)) out += c;
    return out;
}
}  // namespace

std::wstring DigitsOnly(std::wstring_view text) { return Filter(text, IsDigit); }
std::wstring LettersOnly(std::wstring_view text) { return Filter(text, IsLetter); }
std::wstring NameCharsOnly(std::wstring_view text) { return Filter(text, IsNameChar); }
std::wstring NameCharsAndSpacesOnly(std::wstring_view text) {
    return Filter(text, [](wchar_t c) { return IsNameChar(c) || c == L' '; });
}

namespace {
// The Roman numerals that title case writes in capitals; a word is written so
// only when the whole word is such a numeral ("Jana Pawła II"), never when the
// letters merely occur inside a name ("Marii", "Zofii").
bool IsRomanWord(std::wstring_view word) {
    static constexpr std::array<const wchar_t*, 8> pairs = {L"II", L"III", L"IV", L"VI", L"XI", L"IX", L"XL", L"XX"};
    const std::wstring upper = UpperCase(word);
    bool hasPair = false;
    for (const wchar_t* p : pairs) hasPair = hasPair || upper.find(p) != std::wstring::npos;
    if (!hasPair) return false;
    static constexpr std::wstring_view letters = L"IVXLCDM";
    static constexpr std::array<int, 7> values = {1, 5, 10, 50, 100, 500, 1000};
    int total = 0;
    for (size_t i = 0; i < upper.size(); ++i) {
        const size_t k = letters.find(upper[i]);
        if (k == std::wstring_view::npos) return false;
        const size_t next = i + 1 < upper.size() ? letters.find(upper[i + 1]) : std::wstring_view::npos;
        total += next != std::wstring_view::npos && values[next] > values[k] ? -values[k] : values[k];
    }
    // Only well-formed numerals read back to themselves.
    return RomanNumeral(total) == upper;
}
}  // namespace

std::wstring CapitalizeWords(std::wstring_view text) {
    std::wstring s = LowerCase(text);
    const size_t n = s.size();
    static constexpr std::array<const wchar_t*, 8> abbreviations = {L"ul. ", L"pl. ", L"al. ", L"sp. ",
                                                                    L"s. ",  L"św. ", L"os. ", L"oś. "};
    bool abbreviation = false;
    for (const wchar_t* a : abbreviations) abbreviation = abbreviation || s.starts_with(a);
    auto alnum = [&](size_t i) { return i < n && (IsLetter(s[i]) || IsDigit(s[i])); };
    for (size_t i = 0; i < n; ++i) {
        if (i == 0 && abbreviation) continue;
        if (n >= 2 && i == n - 2) continue;  // keeps "sp. z o.o." as "o.o."
        if (i > 0 && IsLetter(s[i]) && IsLetter(s[i - 1])) continue;
        if (i > 0 && (s[i] == L'w' || s[i] == L'z') && !alnum(i - 1) && !alnum(i + 1)) continue;
        s[i] = UpperChar(s[i]);
    }
    for (size_t i = 0; i < n;) {
        if (!IsLetter(s[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && IsLetter(s[j])) ++j;
        if (IsRomanWord(std::wstring_view(s).substr(i, j - i)))
            for (size_t k = i; k < j; ++k) s[k] = UpperChar(s[k]);
        i = j;
    }
    return s;
}

std::pair<std::wstring, std::wstring> SplitInTwoLines(std::wstring_view text) {
    constexpr size_t Line = 50;
    if (text.size() <= Line) return {std::wstring(text), L""};
    if (text.size() <= 2 * Line) {
        const size_t space = text.substr(0, Line + 1).rfind(L' ');
        if (space != std::wstring_view::npos) {
            std::wstring rest(text.substr(space + 1));
            TrimSpaces(rest);
            if (rest.size() <= Line) return {std::wstring(text.substr(0, space + 1)), rest};
        }
        return {std::wstring(text.substr(0, Line)), std::wstring(text.substr(Line))};
    }
    return {std::wstring(text.substr(0, Line)), std::wstring(text.substr(Line, Line))};
}
