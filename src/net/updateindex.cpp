#include "net/updateindex.h"

#include <cmath>

#include "net/url.h"
#include "util/cp1250.h"
#include "util/datetext.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"
#include "util/textedit.h"

namespace {

std::wstring Trimmed(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return std::wstring(s);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t i = 0;
    while (i <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", i);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(i, end - i));
        if (end == text.size()) break;
        i = end + 1;
        if (text[end] == L'\r' && i < text.size() && text[i] == L'\n') ++i;
    }
    return lines;
}

}  // namespace

UpdateIndex ParseUpdateIndex(std::string_view bytes, std::wstring_view product) {
    std::wstring text = bytes.starts_with("\xEF\xBB\xBF") ? Utf8ToWide(bytes.substr(3)) : Cp1250ToWide(bytes);
    UpdateIndex index;
    enum class In { Other, Information, Servers, Product } in = In::Other;
    // A section that appears twice is read where it first appears, as the
    // profile functions read it.
    bool seenInformation = false, seenServers = false, seenProduct = false;
    bool haveInformation = false;
    for (const std::wstring& raw : Lines(text)) {
        const std::wstring line = Trimmed(raw);
        if (line.empty() || line.front() == L';') continue;
        if (line.front() == L'[') {
            const size_t close = line.find(L']');
            const std::wstring name = Trimmed(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
            in = In::Other;
            if (SameTextNoCase(name, L"Informacja") && !seenInformation) in = In::Information, seenInformation = true;
            else if (SameTextNoCase(name, L"-serwery") && !seenServers) in = In::Servers, seenServers = true;
            else if (SameTextNoCase(name, product) && !seenProduct) in = In::Product, seenProduct = true;
            continue;
        }
        const size_t eq = line.find(L'=');
        const std::wstring key = Trimmed(line.substr(0, eq));
        const std::wstring value = eq == std::wstring::npos ? L"" : Trimmed(line.substr(eq + 1));
        switch (in) {
        case In::Information:
            if (!haveInformation && SameTextNoCase(key, L"Informacja")) {
                index.information = value;
                haveInformation = true;
            }
            break;
        case In::Servers:
            if (eq != std::wstring::npos) index.servers.emplace_back(key, value);
            break;
        case In::Product: index.productLines.push_back(line); break;
        case In::Other: break;
        }
    }
    return index;
}

std::wstring PrepareInformationText(std::wstring text) {
    ReplaceAllNoCase(L"   ", L"  ", text);
    ReplaceAllNoCase(L"  ", L"\r\n", text);
    ReplaceAllNoCase(L"\r\n\r\n", L"\r\n", text);
    return text;
}

std::optional<MirrorEntry> UsableMirror(std::wstring_view value) {
    std::wstring v = Trimmed(value);
    MirrorEntry entry{L"http", L""};
    if (StartsWithNoCase(L"https://", v)) {
        entry.scheme = L"https";
        v.erase(0, 8);
    } else if (StartsWithNoCase(L"http://", v)) {
        v.erase(0, 7);
    }
    if (!v.empty() && v.back() == L'/') v.pop_back();
    entry.host = LowerCase(v);
    // The ".pl" rule is applied to the host itself: "x.pl.evil.com" or
    // "evil.com/?.pl" are no hosts under ".pl".
    if (!IsHostName(entry.host) || IsIpv4Address(entry.host) || !EndsWithNoCase(L".pl", entry.host))
        return std::nullopt;
    return entry;
}

std::wstring ServerEntryMarkup(std::wstring_view label, const MirrorEntry& mirror) {
    return SafeFormat(L"%s         %s                                          <z>%s</z>",
                      {label, mirror.host, mirror.Hidden()});
}

std::wstring ReserveServerMarkup(std::wstring_view updateServerHost) {
    return SafeFormat(L"<b>Serwer rezerwowy</b>         %s", {updateServerHost});
}

std::optional<UpdateFileLine> SplitFileLine(std::wstring_view line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (fields.size() < 4) {
        const size_t end = line.find_first_of(L"=;", start);
        fields.push_back(Trimmed(line.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start)));
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    if (fields.size() < 4) return std::nullopt;
    for (const auto& f : fields)
        if (f.empty()) return std::nullopt;
    return UpdateFileLine{fields[0], fields[1], fields[2], fields[3]};
}

std::optional<std::wstring> InfoLineValue(std::wstring_view line) {
    if (!StartsWithNoCase(L"<info>", line)) return std::nullopt;
    const size_t eq = line.find(L'=');
    return eq == std::wstring_view::npos ? std::wstring() : Trimmed(line.substr(eq + 1));
}

LocalNameVerdict CheckLocalName(std::wstring_view name, std::wstring_view ownExecutableName) {
    if (name.empty() || name.size() > 200) return LocalNameVerdict::Unsafe;
    for (wchar_t c : name) {
        // Separators, drive and stream marks, wildcards, and "~" of the short
        // names ("ARCHIW~1.EXE" may be the program itself).
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|~").find(c) != std::wstring_view::npos) return LocalNameVerdict::Unsafe;
    }
    // The system drops trailing dots and spaces: "archiwin.exe." would be
    // the program's own file.
    if (name.front() == L' ' || name.back() == L'.' || name.back() == L' ') return LocalNameVerdict::Unsafe;
    if (name.find(L"..") != std::wstring_view::npos || name.front() == L'.') return LocalNameVerdict::Unsafe;
    // Device names, with any extension ("nul.txt" is the device too).
    const std::wstring base = UpperCase(name.substr(0, name.find(L'.')));
    const std::wstring_view trimmedBase = std::wstring_view(base).substr(0, base.find_last_not_of(L' ') + 1);
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
        if (trimmedBase == device) return LocalNameVerdict::Unsafe;
    if (trimmedBase.size() == 4 && (trimmedBase.starts_with(L"COM") || trimmedBase.starts_with(L"LPT")) &&
        ((trimmedBase[3] >= L'0' && trimmedBase[3] <= L'9') || trimmedBase[3] == L'\u00B9' ||
         trimmedBase[3] == L'\u00B2' || trimmedBase[3] == L'\u00B3'))
        return LocalNameVerdict::Unsafe;
    if (SameTextNoCase(name, L"a.tev") || SameTextNoCase(name, L"aa.rap")) return LocalNameVerdict::OwnFiles;
    if (!ownExecutableName.empty() && SameTextNoCase(name, ownExecutableName)) return LocalNameVerdict::OwnProgram;
    return LocalNameVerdict::Ok;
}

bool IsLoadableModule(std::wstring_view name) {
    const std::wstring ext = LowerCase(ExtensionPart(std::wstring(name)));
    for (const wchar_t* e : {L".dll", L".ocx", L".cpl", L".drv", L".sys", L".ax", L".local", L".manifest", L".config"})
        if (ext == e) return true;
    return false;
}

bool IsExecutableName(std::wstring_view name) { return EndsWithNoCase(L".exe", name); }

std::wstring UpdateItemMarkup(const UpdateFileLine& line, DateTimeValue serverDate, DateTimeValue lastUpdate) {
    std::wstring mark;
    if (serverDate > 0) {
        mark = serverDate > lastUpdate ? L"<b><u>NOWE!</u></b>" : L"(już było ściągnięte)";
        mark += L"<br>" + LongDateText(serverDate);
    }
    return mark + SafeFormat(L"<br><b>%s</b> (%s)<br>%s", {line.name, line.version, line.description});
}

std::wstring OwnProgramItemMarkup(const UpdateFileLine& line) {
    return SafeFormat(L"<br><b>%s</b> (%s)<br>%s<br><i>Działającego programu nie można zastąpić: "
                      L"zaktualizuje go instalator.</i>",
                      {line.name, line.version, line.description});
}

DateTimeValue ParseLastUpdateDay(std::wstring_view text) {
    const std::wstring t = Trimmed(text);
    if (t.empty() || t.size() > 7) return 0;
    int days = 0;
    for (wchar_t c : t) {
        if (c < L'0' || c > L'9') return 0;
        days = days * 10 + (c - L'0');
    }
    return days;
}

std::wstring LastUpdateStatus(DateTimeValue lastUpdate, DateTimeValue today) {
    if (lastUpdate <= 0) return L"<b>Jeszcze nigdy nie aktualizowałeś programu.</b> Zrób to teraz.";
    return SafeFormat(L"Ostatni raz <b>aktualizowałeś program </b> - %s, czyli <b>%s.</b>",
                      {FormatPolishDate(L"d mmmmm yyyy (dddd)", lastUpdate), RelativeDayText(lastUpdate, today)});
}

std::wstring DownloadProgressText(std::int64_t received, std::int64_t announced, DateTimeValue elapsed) {
    if (announced < 0)
        return SafeFormat(L"%.3f kB", {received / 1000.0}) + L"\r\n" + DurationText(elapsed);
    const DateTimeValue total = elapsed * static_cast<double>(announced) / (static_cast<double>(received) + 1);
    return SafeFormat(L"%.3f kB z %.3f kB", {received / 1000.0, announced / 1000.0}) + L"\r\n" +
           SafeFormat(L"%s z %s", {DurationText(elapsed), DurationText(total)});
}

std::wstring RunOnceCommand(const std::wstring& installer, const std::wstring& folder) {
    std::wstring f = folder;
    if (!f.empty() && f.back() == L'\\') f += L'\\';
    return L"\"" + installer + L"\" -o \"" + f + L"\"";
}

std::wstring KeptCopyName(std::wstring_view version, std::wstring_view executableName) {
    return L"_AA_" + std::wstring(version) + L"_" + std::wstring(executableName);
}

std::wstring KeptCopyShortcut(std::wstring_view productName, DateTimeValue today) {
    return L"Tevsoft\\Zachowane\\" + std::wstring(productName) + L" (sprzed aktualizacji " + DateText(today) + L").lnk";
}

std::wstring ChooseUpdateDir(const std::wstring& programDir, const std::wstring& desktopDir,
                             const std::wstring& documentsDir, bool writable, const std::wstring& perUserDir) {
    std::wstring dir = SameTextNoCase(WithBackslash(programDir), WithBackslash(desktopDir)) ? documentsDir : programDir;
    if (!writable) dir = perUserDir;
    return WithBackslash(dir);
}

std::wstring NoticeSubject(const DownloadNotice& n) {
    return SafeFormat(L"%s: Pobrano plik %s (%s)", {n.product, n.fileName, n.serverPath});
}

std::vector<std::wstring> NoticeBody(const DownloadNotice& n) {
    std::vector<std::wstring> body;
    body.push_back(SafeFormat(L"pobrano %s z %s (%d)", {n.fileName, n.serverPath, n.received}));
    body.push_back(n.product + L" " + n.programVersion);
    body.push_back(L"-");
    std::vector<std::wstring> status = Lines(n.status);
    while (!status.empty() && Trimmed(status.back()).empty()) status.pop_back();
    for (const std::wstring& line : status) body.push_back(line);
    body.push_back(L"-");
    body.push_back(SafeFormat(L"%s, %s", {SizeText(n.announced < 0 ? n.received : n.announced, false),
                                          DurationText(n.duration)}));
    body.push_back(L"-");
    body.push_back(L"Version: " + n.windowsVersion);
    body.push_back(L"VersionNumber: " + n.windowsVersionNumber);
    body.push_back(L"Plus! VersionNumber: " + n.plusVersionNumber);
    body.push_back(L"ProductName: " + n.windowsProductName);
    return body;
}
