#pragma once
// Plain-text helpers for the program's HTML-like markup: the hidden data of
// list items, the macros of the technical-contact message, removal of
// sections and tags, and the conversion of markup to plain text.
#include <cstdint>
#include <string>
#include <string_view>

#include "util/datetime.h"

// The text between the first "<z>" and the first "</z>" (any letter case)
// when "<z>" comes first; otherwise empty.
std::wstring HiddenData(std::wstring_view text);

// Replaces the macros "[name]" and "#name" (any letter case) of a message:
// *f7, *f8, *f10, *f12 (font sizes), *DATA and DATA (DateText of today),
// *DATADŁUGA (LongDateText of today) and *PATH (the program's full path).
void ExpandMacros(std::wstring& text, DateTimeValue today, std::wstring_view programPath);

// Removes every section from an opening mark through the following closing
// mark (marks found in any letter case), at most 2048 per call; a section
// whose closing mark is missing stays.
void RemoveSections(std::wstring_view open, std::wstring_view close, std::wstring& text);

// Converts markup to plain text with "\r\n" line ends (the result ends with
// one). With keepBasicTags the tags <b>, <i>, <u>, <hr> and their closings
// stay; every other tag is removed.
void MarkupToText(std::wstring& text, bool keepBasicTags);

// "#RRGGBB" for a colour given as 0x00BBGGRR.
std::wstring ColorToHex(std::uint32_t color);
// Ends a bold cell of a list: a text starting with "-" is wrapped in red
// ("<font color=\"#FF0000\">" ... "</font></b>"), any other gets "</b>".
std::wstring MarkNegativeRed(std::wstring_view text);
