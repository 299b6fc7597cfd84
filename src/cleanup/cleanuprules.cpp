#include "cleanup/cleanuprules.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <unordered_set>

#include "store/copynames.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/datetext.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/wildcard.h"

namespace {

bool AllDigits(std::wstring_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

bool IsSmallCopyName(const std::wstring& name) {
    // "Kopia " + number + " " + a name of at least one character.
    if (!StartsWithNoCase(L"kopia ", name)) return false;
    size_t space = name.find(L' ', 6);
    if (space == std::wstring::npos || space + 1 >= name.size()) return false;
    return AllDigits(std::wstring_view(name).substr(6, space - 6));
}

bool IsEmergencyCopyName(const std::wstring& name) {
    if (MatchesMask(name, kLoadEmergencyMask)) return true;
    size_t akz = PosNoCase(L".akz.", name);
    if (akz <= 1) return false;  // none, or nothing before it
    std::wstring_view rest = std::wstring_view(name).substr(akz - 1 + 5);
    if (EndsWithNoCase(L".dat", rest) && rest.size() > 4) return true;
    // yyyymmdd.hhnnss
    return rest.size() == 15 && rest[8] == L'.' && AllDigits(rest.substr(0, 8)) && AllDigits(rest.substr(9));
}

bool IsTevCompany(const std::wstring& companyName) { return ContainsNoCase(L"tev", companyName); }

DateTimeValue WeekBoundary(DateTimeValue now) { return std::floor(now) - 7.0; }

bool OlderThanWeek(DateTimeValue written, DateTimeValue now) { return written != 0 && written < WeekBoundary(now); }

std::wstring ProgramItem(const ProgramFacts& p, DateTimeValue today) {
    return SafeFormat(L"<b>%s</b> z %s w %s<br>%s <b>(%s)</b><br>ostatnio instalowany: %s<z>%s</z>",
                      {p.identity, p.comments, p.path, p.description, SizeText(p.size, false),
                       RelativeDayText(p.written, today), p.path});
}

std::wstring ShortcutItem(const ShortcutFacts& s) {
    return SafeFormat(L"<b>%s</b>  w %s<br>wskazuje na: %s<br>%s %s z %s<z>%s</z>",
                      {s.product, DirectoryPart(s.path), s.target, s.product, s.version, s.comments, s.path});
}

std::wstring CopyItem(const std::wstring& path, std::int64_t size, DateTimeValue modified, DateTimeValue today) {
    return SafeFormat(L"%s<br>%s, %s<z>%s</z>", {path, RelativeDayText(modified, today), SizeText(size, false), path});
}

std::wstring FileItem(const std::wstring& path, std::int64_t size, DateTimeValue modified, DateTimeValue today,
                      bool inUse) {
    return (inUse ? L"*" : L"") +
           SafeFormat(L"<b>%s</b> %s w %s<br>%s, %s <b>(%s)</b><z>%s</z>",
                      {FileNamePart(path), L"", DirectoryPart(path), SizeText(size, false), LongDateText(modified),
                       RelativeDayText(modified, today), path});
}

std::wstring TotalsText(int count, std::int64_t bytes) {
    return SafeFormat(L"<b>%d</b> plików, <b>%s</b>", {count, SizeText(bytes, false)});
}

std::wstring SummaryText(int count, std::int64_t bytes) {
    return SafeFormat(L"<b>Czy na pewno usunąć %d plików, %s</b>", {count, SizeText(bytes, false)});
}

std::wstring DeletionQuestion(int count, std::int64_t bytes) {
    std::wstring text = SummaryText(count, bytes);
    MarkupToText(text, false);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text + L"\r\nPliki usunięte być może wylądują w Koszu i będą możliwe do odzyskania, a być może już nie...";
}

std::wstring DeletedText(int count, std::int64_t bytes) {
    return SafeFormat(L"Usunąłem łącznie %d plików, %s.", {count, SizeText(bytes, false)});
}

bool RuleTicks(CleanupPage page, const ItemFacts& item, DateTimeValue now) {
    switch (page) {
    case CleanupPage::Programy:
    case CleanupPage::KopieZapasowe: return item.exists && item.tevFile && OlderThanWeek(item.written, now);
    case CleanupPage::Skroty: return !item.loadable || item.targetChecked;
    case CleanupPage::BazyDanych:
    case CleanupPage::PlikiINI: return item.tevFile && !item.inUse;
    }
    return false;
}

bool ModeTicks(CleanupPage page, CleanupMode mode, const ItemFacts& item, DateTimeValue now) {
    switch (mode) {
    case CleanupMode::RemoveEverything:
        return page == CleanupPage::Skroty ? RuleTicks(page, item, now) : item.tevFile;
    case CleanupMode::RemoveUnneeded: return RuleTicks(page, item, now);
    case CleanupMode::ChooseByHand: return false;
    }
    return false;
}

std::vector<std::wstring> SummaryPaths(const std::vector<std::wstring>& checked) {
    std::vector<std::wstring> paths;
    std::unordered_set<std::wstring> seen;
    for (const auto& p : checked)
        if (seen.insert(UpperCase(p)).second) paths.push_back(p);
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::wstring& a, const std::wstring& b) { return UpperCase(a) < UpperCase(b); });
    return paths;
}
