#include "util/datetext.h"

#include <algorithm>
#include <cmath>

#include "util/calendar.h"
#include "util/failure.h"
#include "util/numberwords.h"
#include "util/polishlocale.h"
#include "util/roman.h"
#include "util/safeformat.h"
#include "util/textcase.h"
#include "util/textedit.h"

namespace {

constexpr size_t MaxDateText = 255;

// 0 means "no date"; a value that is not a number is no date either.
bool NoDate(DateTimeValue x) { return x == 0 || std::isnan(x); }

std::wstring Number(int value, int digits) {
    std::wstring s = std::to_wstring(value);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), L'0');
    return s;
}

void ReplaceFirst(std::wstring& text, std::wstring_view what, const std::wstring& with) {
    const size_t p = text.find(what);
    if (p != std::wstring::npos) text.replace(p, what.size(), with);
}

bool StartsWithNoCaseAt(std::wstring_view text, size_t i, std::wstring_view what) {
    return StartsWithNoCase(what, text.substr(i));
}

// The platform-style date formatter behind FormatPolishDate.
class DateFormatter {
public:
    explicit DateFormatter(DateTimeValue x) : split_(SplitDateTime(x)), date_(DecodeDate(x)), x_(x) {}

    std::wstring Run(std::wstring_view pattern) {
        std::wstring out;
        const bool twelveHour = ContainsNoCase(L"am/pm", pattern) || ContainsNoCase(L"a/p", pattern) ||
                                ContainsNoCase(L"ampm", pattern);
        wchar_t last = 0;  // the last letter directive, to tell minutes from months
        size_t i = 0;
        while (i < pattern.size()) {
            wchar_t c = pattern[i];
            const wchar_t token = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
            size_t count = 1;
            while (i + count < pattern.size() && (pattern[i + count] | 0x20) == (c | 0x20) &&
                   IsLetter(c))
                ++count;
            const TimeOfDay& t = split_.time;
            switch (token) {
            case L'"':
            case L'\'': {
                const size_t end = pattern.find(c, i + 1);
                out += pattern.substr(i + 1, end == std::wstring_view::npos ? std::wstring_view::npos : end - i - 1);
                i = end == std::wstring_view::npos ? pattern.size() : end + 1;
                continue;
            }
            case L'/':
                out += polish::DateSeparator;
                break;
            case L':':
                out += polish::TimeSeparator;
                break;
            case L'D':
                if (count <= 2)
                    out += Number(date_.day, static_cast<int>(count));
                else if (count == 3)
                    out += polish::ShortWeekdayNames[DayOfWeek(x_)];
                else if (count == 4)
                    out += polish::WeekdayNames[DayOfWeek(x_)];
                else
                    out += Run(count == 5 ? polish::ShortDatePattern : polish::LongDatePattern);
                break;
            case L'M':
                if (last == L'H') {
                    out += Number(t.minute, count >= 2 ? 2 : 1);
                    last = L'N';
                    i += count;
                    continue;
                }
                if (count <= 2)
                    out += Number(date_.month, static_cast<int>(count));
                else if (count == 3)
                    out += polish::ShortMonthNames[date_.month - 1];
                else
                    out += polish::MonthNames[date_.month - 1];
                break;
            case L'Y':
                out += count <= 2 ? Number(date_.year % 100, 2) : Number(date_.year, 4);
                break;
            case L'H': {
                int hour = t.hour;
                if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
                out += Number(hour, count >= 2 ? 2 : 1);
                break;
            }
            case L'N':
                out += Number(t.minute, count >= 2 ? 2 : 1);
                break;
            case L'S':
                out += Number(t.second, count >= 2 ? 2 : 1);
                break;
            case L'Z':
                out += Number(t.millisecond, count >= 3 ? 3 : 1);
                break;
            case L'T':
                out += Run(count == 1 ? polish::ShortTimePattern : polish::LongTimePattern);
                break;
            case L'C':
                out += Run(polish::ShortDatePattern);
                if (t.hour || t.minute || t.second || t.millisecond) out += L' ' + Run(polish::LongTimePattern);
                break;
            case L'A':
                if (StartsWithNoCaseAt(pattern, i, L"am/pm")) {
                    const bool upper = pattern[i] == L'A';
                    out += t.hour < 12 ? (upper ? L"AM" : L"am") : (upper ? L"PM" : L"pm");
                    count = 5;
                } else if (StartsWithNoCaseAt(pattern, i, L"a/p")) {
                    const bool upper = pattern[i] == L'A';
                    out += t.hour < 12 ? (upper ? L"A" : L"a") : (upper ? L"P" : L"p");
                    count = 3;
                } else if (StartsWithNoCaseAt(pattern, i, L"ampm")) {
                    count = 4;  // the Polish locale has no AM/PM designators
                } else {
                    out += pattern.substr(i, count);
                }
                break;
            default:
                out += pattern.substr(i, count);
                break;
            }
            if (token >= L'A' && token <= L'Z') last = token;
            i += count;
        }
        return out;
    }

private:
    SplitValue split_;
    CalendarDate date_;
    DateTimeValue x_;
};

}  // namespace

std::wstring FormatPolishDate(std::wstring_view pattern, DateTimeValue x) {
    if (NoDate(x)) return L"-";
    if (pattern.size() > MaxDateText) throw Failure(L"Wzorzec daty jest dłuższy niż 255 znaków.");
    const CalendarDate date = DecodeDate(x);
    std::wstring p(pattern);
    if (date.month >= 1 && date.month <= 12)
        ReplaceFirst(p, L"mmmmm", L"\"" + std::wstring(polish::GenitiveMonthNames[date.month - 1]) + L"\"");
    const std::wstring roman = RomanNumeral(date.month);
    ReplaceFirst(p, L"%r", L"\"" + LowerCase(roman) + L"\"");
    ReplaceFirst(p, L"%R", L"\"" + roman + L"\"");
    std::wstring out = DateFormatter(x).Run(p);
    if (out.size() > MaxDateText) throw Failure(L"Data po sformatowaniu jest dłuższa niż 255 znaków.");
    for (auto& c : out) {
        if (c == L'#') c = L'"';
        else if (c == L'`') c = L'\'';
    }
    return out;
}

std::wstring LongDateText(DateTimeValue x) { return LowerCase(FormatPolishDate(L"dddd, d mmmmm yyyy", x)); }

std::wstring DateText(DateTimeValue x) { return LowerCase(FormatPolishDate(L"d mmmmm yyyy", x)); }

std::wstring ShortDateText(DateTimeValue x) {
    if (NoDate(x)) return L"-";
    return DateFormatter(x).Run(L"d/mm/yyyy");
}

std::wstring LongDateTimeText(DateTimeValue x) {
    return LowerCase(FormatPolishDate(L"dddd, d mmmmm yyyy, h:mm", x));
}

std::wstring RelativeDayText(DateTimeValue x, DateTimeValue today) {
    if (NoDate(x)) return L"-";
    const std::int64_t n = SplitDateTime(x).days - SplitDateTime(today).days;
    switch (n) {
    case -31: case -30: return L"miesiąc temu";
    case -29: return L"ponad cztery tygodnie temu";
    case -28: return L"cztery tygodnie temu";
    case -21: return L"trzy tygodnie temu";
    case -20: case -19: case -18: return L"prawie trzy tygodnie temu";
    case -17: case -16: case -15: return L"ponad dwa tygodnie temu";
    case -14: return L"dwa tygodnie temu";
    case -13: case -12: case -11: return L"prawie dwa tygodnie temu";
    case -10: case -9: case -8: return L"ponad tydzień temu";
    case -7: return L"tydzień temu";
    case -6: case -5: return L"prawie tydzień temu";
    case -2: return L"przedwczoraj";
    case -1: return L"wczoraj";
    case 0: return L"dzisiaj";
    case 1: return L"jutro";
    case 2: return L"pojutrze";
    case 7: return L"za tydzień";
    case 14: return L"za dwa tygodnie";
    case 21: return L"za trzy tygodnie";
    case 28: return L"za cztery tygodnie";
    case 30: case 31: return L"za miesiąc";
    default: break;
    }
    // From 60 days on the count is in months of 31 days, so 60 and 61 days
    // give "1 miesiąc".
    if (n < 0) {
        if (n <= -60) return PluralFormat(L"%d %s temu", L"miesiąc", L"miesiące", L"miesięcy", -n / 31);
        return SafeFormat(L"%d dni temu", {static_cast<long long>(-n)});
    }
    if (n >= 60) return PluralFormat(L"za %d %s", L"miesiąc", L"miesiące", L"miesięcy", n / 31);
    return SafeFormat(L"za %d dni", {static_cast<long long>(n)});
}

std::wstring DurationText(DateTimeValue span) {
    const TimeOfDay t = SplitDateTime(span).time;
    std::wstring out;
    if (t.hour != 0) out += std::to_wstring(t.hour) + L" godz. ";
    if (t.minute != 0) out += std::to_wstring(t.minute) + L" min. ";
    if (t.hour != 0 || t.minute != 0 || t.second >= 2) {
        out += std::to_wstring(t.second) + L" sek. ";
    } else if (t.millisecond != 0) {
        // Hundredths rounded to the nearest; 995 ms and more stay at ",99" so
        // the whole second is never misstated.
        const int hundredths = std::min(99, (t.millisecond + 5) / 10);
        out = SafeFormat(L"%d,%.02d sek. ", {t.second, hundredths});
    } else {
        out = std::to_wstring(t.second) + L" sek. ";
    }
    TrimSpaces(out);
    return out;
}
