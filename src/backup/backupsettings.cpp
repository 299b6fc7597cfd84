#include "backup/backupsettings.h"

#include <algorithm>
#include <cwctype>

#include "interact/ask.h"

namespace {

// The registry's value names.
constexpr wchar_t kWykonujDuze[] = L"Wykonuj duże kopie";
constexpr wchar_t kKasujDuzeAuto[] = L"Kasuj duże kopie automatycznie";
constexpr wchar_t kKasujDuzeZapytaj[] = L"Kasuj duże kopie zapytaj";
constexpr wchar_t kDuzeCoDni[] = L"Duże kopie co dni";
constexpr wchar_t kKasujDuzePo[] = L"Kasuj duże kopie po dniach";
constexpr wchar_t kSciezka[] = L"Ścieżka kopii zapasowych";
constexpr wchar_t kWykonujMale[] = L"Wykonuj małe kopie";
constexpr wchar_t kKasujMaleAuto[] = L"Kasuj małe kopie automatycznie";
constexpr wchar_t kKasujMalePo[] = L"Kasuj małe kopie po dniach";

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// A stored whole number (an optional sign, then digits only).
std::optional<long long> WholeNumber(const std::wstring& stored) {
    const std::wstring text = Trimmed(stored);
    size_t i = (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] < L'0' || text[k] > L'9') return std::nullopt;
        // Anything beyond ten digits is far outside the range anyway.
        if (value < 10'000'000'000LL) value = value * 10 + (text[k] - L'0');
    }
    return text[0] == L'-' ? -value : value;
}

class Reader {
public:
    explicit Reader(BackupSettingsStore& store) : store_(store) {}
    // A missing or empty value is the default.
    std::optional<std::wstring> Text(const wchar_t* name) {
        std::optional<std::wstring> text = store_.Read(name);
        if (text && text->empty()) return std::nullopt;
        return text;
    }
    bool Bool(const wchar_t* name, bool fallback) {
        std::optional<std::wstring> text = Text(name);
        return text ? IsYesWord(Trimmed(*text)) : fallback;
    }
    int Days(const wchar_t* name, int fallback) {
        std::optional<std::wstring> text = Text(name);
        std::optional<long long> number = text ? WholeNumber(*text) : std::nullopt;
        return ClampBackupDays(number.value_or(fallback));
    }

private:
    BackupSettingsStore& store_;
};

}  // namespace

int ClampBackupDays(long long days) { return static_cast<int>(std::clamp<long long>(days, 0, kMaxBackupDays)); }

std::optional<int> BackupDaysFromText(const std::wstring& typed) {
    std::wstring text = Trimmed(typed);
    // The whole part before a decimal separator of either kind.
    const size_t separator = text.find_first_of(L".,");
    if (separator != std::wstring::npos) {
        const std::wstring fraction = text.substr(separator + 1);
        if (!std::all_of(fraction.begin(), fraction.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            return std::nullopt;
        text.erase(separator);
        if (text.empty() || text == L"-" || text == L"+") text += L'0';
    }
    std::optional<long long> number = WholeNumber(text);
    if (!number) return std::nullopt;
    return ClampBackupDays(*number);
}

BackupSettings ReadBackupSettings(BackupSettingsStore& store, const std::wstring& defaultDirectory) {
    Reader read(store);
    BackupSettings s;
    s.WykonujDuzeKopie = read.Bool(kWykonujDuze, true);
    s.KasujDuzeKopieAutomatycznie = read.Bool(kKasujDuzeAuto, false);
    s.KasujDuzeKopieZapytaj = read.Bool(kKasujDuzeZapytaj, true);
    s.DuzeKopieCoDni = read.Days(kDuzeCoDni, 14);
    s.KasujDuzeKopiePoDniach = read.Days(kKasujDuzePo, 21);
    s.SciezkaKopiiZapasowych = read.Text(kSciezka).value_or(defaultDirectory);
    s.WykonujMaleKopie = read.Bool(kWykonujMale, true);
    s.KasujMaleKopieAutomatycznie = read.Bool(kKasujMaleAuto, false);
    s.KasujMaleKopiePoDniach = read.Days(kKasujMalePo, 21);
    return s;
}

int WriteBackupSettings(BackupSettingsStore& store, const BackupSettings& now, const BackupSettings* before) {
    int written = 0;
    auto put = [&](const wchar_t* name, const auto& value, const auto& previous, const std::wstring& text) {
        if (before && value == previous) return;
        store.Write(name, text);
        ++written;
    };
    const BackupSettings& b = before ? *before : now;
    put(kWykonujDuze, now.WykonujDuzeKopie, b.WykonujDuzeKopie, YesNoText(now.WykonujDuzeKopie));
    put(kKasujDuzeAuto, now.KasujDuzeKopieAutomatycznie, b.KasujDuzeKopieAutomatycznie,
        YesNoText(now.KasujDuzeKopieAutomatycznie));
    put(kKasujDuzeZapytaj, now.KasujDuzeKopieZapytaj, b.KasujDuzeKopieZapytaj, YesNoText(now.KasujDuzeKopieZapytaj));
    put(kDuzeCoDni, now.DuzeKopieCoDni, b.DuzeKopieCoDni, std::to_wstring(ClampBackupDays(now.DuzeKopieCoDni)));
    put(kKasujDuzePo, now.KasujDuzeKopiePoDniach, b.KasujDuzeKopiePoDniach,
        std::to_wstring(ClampBackupDays(now.KasujDuzeKopiePoDniach)));
    put(kSciezka, now.SciezkaKopiiZapasowych, b.SciezkaKopiiZapasowych, now.SciezkaKopiiZapasowych);
    put(kWykonujMale, now.WykonujMaleKopie, b.WykonujMaleKopie, YesNoText(now.WykonujMaleKopie));
    put(kKasujMaleAuto, now.KasujMaleKopieAutomatycznie, b.KasujMaleKopieAutomatycznie,
        YesNoText(now.KasujMaleKopieAutomatycznie));
    put(kKasujMalePo, now.KasujMaleKopiePoDniach, b.KasujMaleKopiePoDniach,
        std::to_wstring(ClampBackupDays(now.KasujMaleKopiePoDniach)));
    return written;
}

std::optional<std::wstring> BackupLocationFromText(const std::wstring& typed) {
    std::wstring text = Trimmed(typed);
    if (text.empty()) return std::wstring();
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    const bool drive = text.size() >= 2 && text[1] == L':' && std::iswalpha(text[0]) &&
                       (text.size() == 2 || text[2] == L'\\');
    // "\\serwer\udział": a server and a share, both named.
    bool network = false;
    if (text.size() > 2 && text[0] == L'\\' && text[1] == L'\\') {
        const size_t share = text.find(L'\\', 2);
        network = share != std::wstring::npos && share > 2 && share + 1 < text.size() && text[share + 1] != L'\\';
    }
    if (!drive && !network) return std::nullopt;
    // Characters no folder name may hold (the drive's colon aside).
    if (text.find_first_of(L"<>\"|?*", 0) != std::wstring::npos || text.find(L':', 2) != std::wstring::npos)
        return std::nullopt;
    if (text.back() != L'\\') text += L'\\';
    return text;
}
