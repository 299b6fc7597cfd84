#include "util/cp1250.h"

#include <array>
#include <type_traits>

namespace {

// Code points of bytes 0x80..0xFF; 0 marks the five bytes with no meaning.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

std::optional<char> Encode(wchar_t c) {
    if (c < 0x80) return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == static_cast<char16_t>(c)) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

// Code points of one wstring, whatever the width of wchar_t.
template <typename F>
void ForEachCodePoint(std::wstring_view text, F f) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
                char32_t lo = static_cast<char32_t>(text[i + 1]);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    ++i;
                }
            }
        }
        f(cp);
    }
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

// Latin letters U+00C0..U+017F without their accents (used only for the
// ones Windows-1250 lacks).
constexpr wchar_t kLatinBase[] =
    L"AAAAAAACEEEEIIIIDNOOOOO\xD7OUUUUYTsaaaaaaaceeeeiiiidnooooo\xF7ouuuuyty"  // U+00C0
    L"AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiJjJjKkkLlLlLlLl"     // U+0100
    L"LlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";    // U+0141

// Cyrillic U+0410..U+044F in Polish transliteration.
constexpr const wchar_t* kCyrillic[] = {
    L"A", L"B",  L"W",  L"G",  L"D",    L"E", L"Ż",  L"Z",  L"I",  L"J", L"K", L"L", L"M", L"N", L"O", L"P",
    L"R", L"S",  L"T",  L"U",  L"F",    L"Ch", L"C", L"Cz", L"Sz", L"Szcz", L"", L"Y", L"", L"E", L"Ju", L"Ja",
    L"a", L"b",  L"w",  L"g",  L"d",    L"e", L"ż",  L"z",  L"i",  L"j", L"k", L"l", L"m", L"n", L"o", L"p",
    L"r", L"s",  L"t",  L"u",  L"f",    L"ch", L"c", L"cz", L"sz", L"szcz", L"", L"y", L"", L"e", L"ju", L"ja",
};

std::wstring BestFitOf(char32_t cp) {
    switch (cp) {
        case 0xC6: return L"AE";
        case 0xE6: return L"ae";
        case 0x152: return L"OE";
        case 0x153: return L"oe";
        case 0x132: return L"IJ";
        case 0x133: return L"ij";
        case 0x401: return L"Jo";
        case 0x451: return L"jo";
        case 0x404: return L"Je";
        case 0x454: return L"je";
        case 0x406: return L"I";
        case 0x456: return L"i";
        case 0x407: return L"Ji";
        case 0x457: return L"ji";
        case 0x490: return L"G";
        case 0x491: return L"g";
        default: break;
    }
    if (cp >= 0xC0 && cp <= 0x17F) return std::wstring(1, kLatinBase[cp - 0xC0]);
    if (cp >= 0x410 && cp <= 0x44F) return kCyrillic[cp - 0x410];
    return L"?";
}

}  // namespace

std::wstring Cp1250BestFit(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) {
        if (cp < 0x10000 && Encode(static_cast<wchar_t>(cp))) out.push_back(static_cast<wchar_t>(cp));
        else out += BestFitOf(cp);
    });
    return out;
}

std::wstring Cp1250ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        if (b < 0x80) out.push_back(static_cast<wchar_t>(b));
        else out.push_back(kHigh[b - 0x80] ? static_cast<wchar_t>(kHigh[b - 0x80]) : L'\xFFFD');
    }
    return out;
}

std::optional<std::string> WideToCp1250(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        auto b = Encode(c);
        if (!b) return std::nullopt;
        out.push_back(*b);
    }
    return out;
}

std::string WideToCp1250Lossy(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(Encode(c).value_or('?'));
    return out;
}

namespace {

// Unused bytes keep their own value as a C1 control character.
constexpr char32_t ExactCodePoint(unsigned char b) {
    return b < 0x80 ? b : kHigh[b - 0x80] ? kHigh[b - 0x80] : b;
}

// Code points below this bound map to bytes through one table lookup.
constexpr size_t kReverseSize = 0x2200;

struct ReverseTable {
    std::array<unsigned char, kReverseSize> byte{};  // 0: no byte (except for U+0000)
    ReverseTable() {
        for (unsigned b = 1; b < 256; ++b) byte[ExactCodePoint(static_cast<unsigned char>(b))] = static_cast<unsigned char>(b);
    }
};

const ReverseTable& Reverse() {
    static const ReverseTable table;
    return table;
}

}  // namespace

std::wstring Cp1250ToWideExact(std::string_view bytes) {
    std::wstring out(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<wchar_t>(ExactCodePoint(static_cast<unsigned char>(bytes[i])));
    return out;
}

bool AppendCp1250Exact(std::wstring_view text, std::string& out, size_t* badIndex) {
    const auto& reverse = Reverse();
    const size_t start = out.size();
    out.resize(start + text.size());
    char* dest = out.data() + start;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::make_unsigned_t<wchar_t>>(text[i]);
        if (c < 0x80) {
            dest[i] = static_cast<char>(c);
            continue;
        }
        const unsigned char b = c < kReverseSize ? reverse.byte[c] : 0;
        if (b == 0) {
            if (badIndex) *badIndex = i;
            out.resize(start);
            return false;
        }
        dest[i] = static_cast<char>(b);
    }
    return true;
}

std::optional<std::string> WideToCp1250Exact(std::wstring_view text, size_t* badIndex) {
    std::string out;
    if (!AppendCp1250Exact(text, out, badIndex)) return std::nullopt;
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    });
    return out;
}

std::wstring Utf8ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + static_cast<size_t>(extra) < bytes.size();
        for (int k = 1; ok && k <= extra; ++k) {
            unsigned char c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMin[extra < 0 ? 0 : extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))) ok = false;
        if (!ok) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        AppendCodePoint(out, cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}
