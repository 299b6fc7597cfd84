#include "backup/largebackuprules.h"

#include <cmath>
#include <cstdio>

#include "backup/restorelist.h"
#include "util/calendar.h"
#include "util/datetext.h"
#include "util/numberwords.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"
#include "util/textmarkup.h"

namespace {

constexpr wchar_t kPrefix[] = L"tevKopiaZapasowa_";

std::wstring Stamp(DateTimeValue moment) {
    const SplitValue split = SplitDateTime(moment);
    const CalendarDate date = DecodeDate(static_cast<double>(split.days));
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d%02d%02d_%02d%02d%02d", date.year, date.month, date.day, split.time.hour,
                  split.time.minute, split.time.second);
    return text;
}

}  // namespace

std::wstring LargeBackupName(DateTimeValue moment) { return kPrefix + Stamp(moment) + L".tev"; }

std::wstring LargeBackupName(DateTimeValue moment, int number) {
    return kPrefix + Stamp(moment) + L"_" + std::to_wstring(number) + L".tev";
}

bool IsPrunableBackupName(const std::wstring& fileName) {
    return StartsWithNoCase(L"tevKopia", fileName) &&
           (EndsWithNoCase(L".tev", fileName) || EndsWithNoCase(L".cab", fileName));
}

bool IsListedBackupName(const std::wstring& fileName) {
    if (!EndsWithNoCase(L".tev", fileName) && !EndsWithNoCase(L".cab", fileName)) return false;
    const size_t at = PosNoCase(L"tevKopia", fileName);
    return at != 0 && at - 1 + 8 <= fileName.size() - 4;
}

bool IsNumberedSmallCopy(const std::wstring& fileName, const std::wstring& dataFileName) {
    const std::wstring tail = L" " + dataFileName;
    if (!StartsWithNoCase(L"Kopia ", fileName) || !EndsWithNoCase(tail, fileName)) return false;
    if (fileName.size() <= 6 + tail.size()) return false;
    const std::wstring number = fileName.substr(6, fileName.size() - 6 - tail.size());
    for (wchar_t c : number)
        if (c < L'0' || c > L'9') return false;
    return true;
}

double AgeInDays(DateTimeValue fileTime, DateTimeValue now) { return std::floor(now) - fileTime; }

bool OldEnough(DateTimeValue fileTime, DateTimeValue now, int days) {
    // Ages are compared to the millisecond: a file's time carries the
    // rounding of its conversion to a day fraction.
    return std::llround(AgeInDays(fileTime, now) * 86400000.0) >= static_cast<long long>(days) * 86400000LL;
}

std::int64_t KiloBytes(std::int64_t bytes) { return bytes / 1000; }

std::wstring DayNumberText(DateTimeValue moment) {
    return std::to_wstring(static_cast<long long>(std::floor(moment)));
}

std::wstring LargeBackupReport(const std::wstring& path, std::int64_t bytes, int files, DateTimeValue span) {
    return L"Kopia zapasowa została wykonana pomyślnie.\r\n" + path + L"\r\n" + L"- zajmuje: " +
           std::to_wstring(KiloBytes(bytes)) + L" kB" + L"\r\n" +
           PluralFormat(L"- zawiera %d %s", L"plik", L"pliki", L"plików", files) + L"\r\n" +
           L"Wykonanie tej kopii trwało " + DurationText(span + 1.0 / 86400.0);
}

std::wstring PruneSummary(int count, std::int64_t bytes) {
    return L"Usunąłem stare, niepotrzebne kopie zapasowe.\r\nLiczba usuniętych plików: " + std::to_wstring(count) +
           L"\r\n" + L"Zaoszczędziłem ogółem: " + std::to_wstring(KiloBytes(bytes)) + L" kB";
}

std::wstring AvailableBackupItem(const std::wstring& path, DateTimeValue fileDate, DateTimeValue today,
                                 std::int64_t size) {
    return SafeFormat(L"%s<br><b>%s, %s</b><z>%s</z> <a href=\"%s\">Odtwórz z tej kopii</a>",
                      {MarkupLiteral(path), RelativeDayText(fileDate, today), SizeText(size, false), path, path});
}

std::wstring BackupEntryItem(const std::wstring& entryName, const std::wstring& target, const std::wstring& tableId,
                             DateTimeValue fileDate, std::int64_t size) {
    const std::wstring date = fileDate == 0 ? L"-" : FormatPolishDate(L"d mmmmm yyyy, h:mm", fileDate);
    // "(nieznany plik!)" brings its own brackets.
    const std::wstring id = !tableId.empty() && tableId.front() == L'(' ? tableId.substr(1, tableId.size() - 2) : tableId;
    return SafeFormat(L"<z>%s|%s</z> <b>%s</b>  (%s) %s - %s<br>jako: <a href=\"%s|%s\">%s</a>",
                      {entryName, target, MarkupLiteral(entryName), id, date, SizeText(size, false), entryName,
                       target, MarkupLiteral(target)});
}
