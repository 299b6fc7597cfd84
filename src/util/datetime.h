#pragma once
// DateTimeValue: days since 30 December 1899 in the whole part, the time of
// day in the fraction; 0 means "no date". The whole part written as decimal
// text is the day number the registry keeps for dates and per-day keys.
using DateTimeValue = double;
