#include "util/lastmodified.h"

#include <array>
#include <optional>

#include "util/calendar.h"
#include "util/textcase.h"
#include "util/textedit.h"
#include "util/textfields.h"

namespace {
// The value of a whole field of decimal digits with an optional sign; 0 for
// anything else, as for a field that is not a number.
int IntegerOrZero(std::wstring_view field) {
    size_t i = (!field.empty() && (field[0] == L'-' || field[0] == L'+')) ? 1 : 0;
    if (i == field.size() || field.size() - i > 9) return 0;
    int value = 0;
    for (size_t k = i; k < field.size(); ++k) {
        if (field[k] < L'0' || field[k] > L'9') return 0;
        value = value * 10 + (field[k] - L'0');
    }
    return field[0] == L'-' ? -value : value;
}
}  // namespace

DateTimeValue ParseLastModified(std::wstring_view header) {
    std::wstring text = LowerCase(header);
    ReplaceAllNoCase(L"last-modified:", L" ", text);
    ReplaceAllNoCase(L"last-modified", L" ", text);
    ReplaceAllNoCase(L"GMT", L" ", text);
    ReplaceAllNoCase(L",", L" ", text);
    ReplaceAllNoCase(L"  ", L" ", text);

    static constexpr std::array<const wchar_t*, 12> months = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                                              L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
    int year = 0, month = 0, day = 0;
    std::optional<DateTimeValue> time;
    // The part after the last space is not a field: a well-formed header
    // leaves a space where "GMT" was.
    const size_t fields = CountChar(L' ', text);
    for (size_t n = 1; n <= fields; ++n) {
        const std::wstring field = FieldAt(L' ', n, text);
        bool isMonth = false;
        for (size_t m = 0; m < months.size(); ++m)
            if (field == months[m]) month = static_cast<int>(m) + 1, isMonth = true;
        if (isMonth) continue;
        const int value = IntegerOrZero(field);
        if (value >= 1 && value <= 31)
            day = value;
        else if (value >= 1999)
            year = value;
        else if (CountChar(L':', field) == 2)
            time = EncodeTime(IntegerOrZero(FieldAt(L':', 1, field)), IntegerOrZero(FieldAt(L':', 2, field)),
                              IntegerOrZero(FieldAt(L':', 3, field)));
    }
    if (year == 0 || month == 0 || day == 0) return 0;
    const std::optional<DateTimeValue> date = EncodeDate(year, month, day);
    if (!date) return 0;
    return *date + time.value_or(0);
}
