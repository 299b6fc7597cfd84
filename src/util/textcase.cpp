#include "util/textcase.h"

#include <algorithm>

wchar_t UpperChar(wchar_t c) {
    const unsigned u = static_cast<unsigned>(c);
    if (u >= 'a' && u <= 'z') return static_cast<wchar_t>(u - 32);
    if (u < 0xE0) return c;
    if (u <= 0xFE) return u == 0xF7 ? c : static_cast<wchar_t>(u - 32);
    if (u == 0xFF) return static_cast<wchar_t>(0x178);
    // Latin Extended-A: pairs (upper, lower) start on even codes, except the
    // runs 0139..0148 and 0179..017E, which start on odd ones; 0131 (dotless
    // i), 0138 (kra) and 0149 have no pair.
    if ((u >= 0x100 && u <= 0x137 && u != 0x131) || (u >= 0x14A && u <= 0x177))
        return static_cast<wchar_t>(u & ~1u);
    if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E))
        return (u & 1u) ? c : static_cast<wchar_t>(u - 1);
    return c;
}

wchar_t LowerChar(wchar_t c) {
    const unsigned u = static_cast<unsigned>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<wchar_t>(u + 32);
    if (u < 0xC0) return c;
    if (u <= 0xDE) return u == 0xD7 ? c : static_cast<wchar_t>(u + 32);
    if (u == 0x178) return static_cast<wchar_t>(0xFF);
    if ((u >= 0x100 && u <= 0x137 && u != 0x130) || (u >= 0x14A && u <= 0x177))
        return static_cast<wchar_t>(u | 1u);
    if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E))
        return (u & 1u) ? static_cast<wchar_t>(u + 1) : c;
    return c;
}

bool IsLetter(wchar_t c) {
    const unsigned u = static_cast<unsigned>(c);
    if ((u | 32u) >= 'a' && (u | 32u) <= 'z') return true;
    return u >= 0xC0 && u <= 0x24F && u != 0xD7 && u != 0xF7;
}

std::wstring UpperCase(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) c = UpperChar(c);
    return out;
}

std::wstring LowerCase(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) c = LowerChar(c);
    return out;
}

namespace {
bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return UpperChar(x) == UpperChar(y); });
}
}  // namespace

size_t PosNoCase(std::wstring_view pattern, std::wstring_view text, size_t from) {
    if (pattern.empty() || from == 0 || text.size() < pattern.size()) return 0;
    for (size_t i = from - 1; i + pattern.size() <= text.size(); ++i)
        if (EqualNoCase(pattern, text.substr(i, pattern.size()))) return i + 1;
    return 0;
}

bool ContainsNoCase(std::wstring_view pattern, std::wstring_view text) {
    return PosNoCase(pattern, text) > 0;
}

bool StartsWithNoCase(std::wstring_view prefix, std::wstring_view text) {
    return !prefix.empty() && text.size() >= prefix.size() &&
           EqualNoCase(prefix, text.substr(0, prefix.size()));
}

bool EndsWithNoCase(std::wstring_view suffix, std::wstring_view text) {
    return text.size() >= suffix.size() &&
           EqualNoCase(suffix, text.substr(text.size() - suffix.size()));
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) { return EqualNoCase(a, b); }

namespace {
template <class Match>
int IndexOf(const std::vector<std::wstring>& list, Match match) {
    for (size_t i = 0; i < list.size(); ++i)
        if (match(list[i], i)) return static_cast<int>(i);
    return -1;
}
}  // namespace

int IndexOfEnding(const std::vector<std::wstring>& list, std::wstring_view text) {
    return IndexOf(list, [&](const std::wstring& e, size_t) { return EndsWithNoCase(text, e); });
}

int IndexOfStart(const std::vector<std::wstring>& list, std::wstring_view text) {
    return IndexOf(list, [&](const std::wstring& e, size_t) { return StartsWithNoCase(text, e); });
}

int IndexOfContaining(const std::vector<std::wstring>& list, std::wstring_view text) {
    return IndexOf(list, [&](const std::wstring& e, size_t) { return ContainsNoCase(text, e); });
}

int IndexOfContaining(const std::vector<std::wstring>& list, std::wstring_view text,
                      const std::function<std::wstring(size_t index)>& objectText) {
    return IndexOf(list, [&](const std::wstring& e, size_t i) {
        return ContainsNoCase(text, e) || (objectText && ContainsNoCase(text, objectText(i)));
    });
}

void ReplaceAllNoCase(std::wstring_view old, std::wstring_view replacement, std::wstring& text) {
    if (old == replacement) return;
    size_t p = PosNoCase(old, text);
    while (p > 0) {
        text.replace(p - 1, old.size(), replacement);
        // Nothing before p matched, so a new occurrence can only begin where
        // the inserted text joins what precedes it; searching from there
        // finds what a search from the start would.
        const size_t p2 = PosNoCase(old, text, p > old.size() ? p + 1 - old.size() : 1);
        // p2 <= p + len(new) - len(old), computed without going below zero.
        if (p2 == 0 || p2 + old.size() <= p + replacement.size()) break;
        p = p2;
    }
}
