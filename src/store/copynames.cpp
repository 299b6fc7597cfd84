#include "store/copynames.h"

#include <cstdio>

#include "util/calendar.h"
#include "util/paths.h"

namespace {

// The moment's fields with the given printf pattern (year, month, day,
// hour, minute, second).
std::wstring MomentText(const wchar_t* pattern, DateTimeValue moment, bool shortYear) {
    const SplitValue split = SplitDateTime(moment);
    const CalendarDate date = DecodeDate(static_cast<DateTimeValue>(split.days));
    wchar_t buffer[32];
    std::swprintf(buffer, 32, pattern, shortYear ? date.year % 100 : date.year, date.month, date.day, split.time.hour,
                  split.time.minute, split.time.second);
    return buffer;
}

}  // namespace

std::wstring SmallCopyPeriod(DateTimeValue day) {
    const CalendarDate date = DecodeDate(day);
    return std::to_wstring(date.year % 100) + std::to_wstring(date.month * 7 + date.day / 7);
}

std::wstring SmallCopyName(const std::wstring& dataFile, DateTimeValue day) {
    return DirectoryPart(dataFile) + L"Kopia " + SmallCopyPeriod(day) + L" " + FileNamePart(dataFile);
}

std::wstring SmallCopyMask(const std::wstring& dataFile) {
    return DirectoryPart(dataFile) + L"Kopia * " + FileNamePart(dataFile);
}

std::wstring LoadEmergencyCopyName(const std::wstring& dataFile, DateTimeValue moment, int number) {
    return DirectoryPart(dataFile) + L"_akz_" + MomentText(L"%02d%02d%02d_%02d%02d%02d_", moment, true) +
           std::to_wstring(number) + FileNamePart(dataFile) + L".akz";
}

std::wstring SaveEmergencyCopyName(const std::wstring& dataFile, DateTimeValue moment) {
    return dataFile + L".akz." + MomentText(L"%04d%02d%02d.%02d%02d%02d", moment, false);
}

std::wstring PendingSaveName(const std::wstring& dataFile, unsigned long processId) {
    return DirectoryPart(dataFile) + L"~" + FileNamePart(dataFile) + L"." + std::to_wstring(processId) + L".zapis";
}
