#pragma once
// The date of an HTTP "Last-Modified" header.
#include <string_view>

#include "util/datetime.h"

// "Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT" gives 21 October 2015
// 07:28:00. A text without a full date (day, English month name, a year of
// 1999 or later), or with a date that does not exist, gives 0; an impossible
// time is left out. Never throws.
DateTimeValue ParseLastModified(std::wstring_view header);
