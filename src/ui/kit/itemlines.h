#pragma once
// Items of several lines: with Multiline, a line end written in an item's
// text breaks its line as "<br>" does. Without it a line end is a space, as
// anywhere in markup.
#include <string>
#include <string_view>

// The markup with every line end ("\r\n", "\n" or "\r") outside tags and
// outside hidden "<z>" text replaced by "<br>"; hidden data keeps its bytes.
std::wstring LineEndsAsBreaks(std::wstring_view markup);
