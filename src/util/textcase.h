#pragma once
// Case rules of Polish text, independent of the system's locale: upper- and
// lower-casing (Polish letters and the rest of Latin-1 and Latin Extended-A
// included) and the case-insensitive comparisons and searches built on them.
// Positions are 1-based, 0 meaning "not found".
#include <functional>
#include <string>
#include <string_view>
#include <vector>

wchar_t UpperChar(wchar_t c);
wchar_t LowerChar(wchar_t c);
bool IsLetter(wchar_t c);
std::wstring UpperCase(std::wstring_view text);
std::wstring LowerCase(std::wstring_view text);

// Position of the first occurrence of pattern in text, 0 when none and for an
// empty pattern. `from` is the 1-based position where the search starts.
size_t PosNoCase(std::wstring_view pattern, std::wstring_view text, size_t from = 1);
bool ContainsNoCase(std::wstring_view pattern, std::wstring_view text);
// An empty prefix gives false, an empty suffix gives true.
bool StartsWithNoCase(std::wstring_view prefix, std::wstring_view text);
bool EndsWithNoCase(std::wstring_view suffix, std::wstring_view text);
bool SameTextNoCase(std::wstring_view a, std::wstring_view b);

// Index of the first entry that ends with / starts with / contains text; -1
// when none.
int IndexOfEnding(const std::vector<std::wstring>& list, std::wstring_view text);
int IndexOfStart(const std::vector<std::wstring>& list, std::wstring_view text);
int IndexOfContaining(const std::vector<std::wstring>& list, std::wstring_view text);
// The same, where an entry also matches when the text that its attached
// object reports for itself (objectText of the entry's index) contains text.
int IndexOfContaining(const std::vector<std::wstring>& list, std::wstring_view text,
                      const std::function<std::wstring(size_t index)>& objectText);

// Replaces old by replacement without regard to case. After each replacement
// the search starts again from the beginning, so runs collapse (replacing two
// spaces by one leaves single spaces); an occurrence found at or before the end
// of the text just inserted ends the loop, which keeps it finite. Nothing
// happens when old and replacement are identical.
void ReplaceAllNoCase(std::wstring_view old, std::wstring_view replacement, std::wstring& text);
