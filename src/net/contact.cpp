#include "net/contact.h"

#include "util/calendar.h"
#include "util/datetext.h"
#include "util/safeformat.h"
#include "util/textcase.h"
#include "util/textedit.h"
#include "util/textmarkup.h"

namespace {

// Parses "a.b.c[.d]" into its first three numbers.
bool VersionNumbers(std::wstring_view version, int (&n)[3]) {
    size_t pos = 0;
    for (int k = 0; k < 3; ++k) {
        if (pos >= version.size()) return false;
        int value = 0, digits = 0;
        while (pos < version.size() && version[pos] >= L'0' && version[pos] <= L'9') {
            if (++digits > 6) return false;
            value = value * 10 + (version[pos++] - L'0');
        }
        if (digits == 0) return false;
        n[k] = value;
        if (k < 2) {
            if (pos >= version.size() || version[pos] != L'.') return false;
            ++pos;
        }
    }
    return pos == version.size() || version[pos] == L'.';
}

// The user's words stand in the frame as private-use characters, which no
// macro, markup rule or text conversion touches, until they are put back.
wchar_t Slot(size_t k) { return static_cast<wchar_t>(0xE000 + k); }

// The frame of the document with a slot for every piece of the user's words
// (message first, then the user values, then the information values).
std::wstring Frame(const ContactDocument& doc, std::vector<std::wstring>& words) {
    words.clear();
    auto slot = [&](const std::wstring& text) {
        words.push_back(text);
        return std::wstring(1, Slot(words.size() - 1));
    };
    const std::wstring sep = L"\r\n-\r\n";
    std::wstring f = L"<br><center><titlefont>Studio TEV: " + doc.topic + L"<textfont><br>" +
                     L"wygenerowano dnia: <b>[DATA]</b><br><left><hr>";
    f += sep + L"<left><textFont><b>Treść wiadomości:</b><br>" + slot(doc.message) + L"<hr>";
    f += sep + L"<hr><textfont>wysyłający:<br>";
    for (const auto& [label, value] : doc.user) f += SafeFormat(L"%s:   <b>%s</b><br>", {label, slot(value)});
    f += sep + L"<opisfont></i><hr>informacje techniczne:<br>";
    for (const auto& [label, value] : doc.info) f += SafeFormat(L"%s:   <b>%s</b><br>", {label, slot(value)});
    return f;
}

// Line ends of the user's text as CR LF.
std::wstring CrLf(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out += L"\r\n";
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else if (text[i] == L'\n') {
            out += L"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::wstring Fill(const std::wstring& frame, const std::vector<std::wstring>& words,
                  std::wstring (*render)(std::wstring_view)) {
    std::wstring out;
    for (wchar_t c : frame) {
        const size_t k = static_cast<size_t>(c) - 0xE000;
        if (c >= 0xE000 && k < words.size()) out += render(words[k]);
        else out += c;
    }
    return out;
}

std::wstring Escaped(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : CrLf(text)) {
        if (c == L'<') out += L"&lt;";
        else if (c == L'>') out += L"&gt;";
        else if (c == L'&') out += L"&amp;";
        else out += c;
    }
    ReplaceAllNoCase(L"\r\n", L"<br>", out);
    return out;
}

}  // namespace

std::optional<DateTimeValue> ProgramDateFromVersion(std::wstring_view version) {
    int n[3];
    if (!VersionNumbers(version, n)) return std::nullopt;
    int year;
    if (n[0] == 99) year = 1999;
    else if (n[0] >= 200 && n[0] <= 299) year = 1800 + n[0];
    else return std::nullopt;
    return EncodeDate(year, n[1], n[2]);
}

bool ContactAvailable(std::optional<DateTimeValue> programDate, DateTimeValue today) {
    if (programDate) return today < *programDate + 45;
    return today < *EncodeDate(2002, 12, 31);
}

std::wstring ContactRefusal(std::optional<DateTimeValue> programDate, std::wstring_view webAddress) {
    return L"Zanim skorzystasz z funkcji kontaktu technicznego, pobierz koniecznie nową wersję programu.\r\n"
           L"Jest bardzo prawdodobne, że problem, który chciałeś zgłosić, dawno został rozwiązany."
           L" Sprawdź też na " +
           std::wstring(webAddress) + L" pod hasłem CO NOWEGO.\r\nData programu: " +
           (programDate ? LongDateText(*programDate) : L"-");
}

bool PassesMailTest(std::wstring_view address) {
    std::wstring a(address);
    TrimSpaces(a);
    a = LowerCase(a);
    if (a.size() <= 3) return false;
    if (a.find(L'@') == std::wstring::npos || a.find(L'.') == std::wstring::npos) return false;
    if (a.find_first_of(L" ,") != std::wstring::npos) return false;
    if (a.back() == L'.') return false;
    return a.find(kBlockedMailDomain) == std::wstring::npos;
}

bool RequiredFieldsFilled(const UserValues& v) {
    auto len = [](std::wstring s) {
        TrimSpaces(s);
        return s.size();
    };
    // Imię, Nazwisko, Adres, Miasto
    return len(v[0]) >= 2 && len(v[1]) >= 3 && len(v[3]) >= 6 && len(v[5]) >= 4;
}

std::wstring TopicText(ContactTopic topic) {
    switch (topic) {
    case ContactTopic::Technical: return L"Kontakt techniczny";
    case ContactTopic::ZlotaRybka: return L"Zovir Ozeri";
    default: return L"Kontakt ogólny";
    }
}

std::wstring ContactMarkup(const ContactDocument& doc, DateTimeValue today) {
    std::vector<std::wstring> words;
    std::wstring frame = Frame(doc, words);
    ExpandMacros(frame, today, L"");
    return Fill(frame, words, [](std::wstring_view w) { return Escaped(w); });
}

std::wstring ContactPlainText(const ContactDocument& doc, DateTimeValue today) {
    std::vector<std::wstring> words;
    std::wstring frame = Frame(doc, words);
    ExpandMacros(frame, today, L"");
    MarkupToText(frame, false);
    return Fill(frame, words, [](std::wstring_view w) { return CrLf(w); });
}

std::wstring PlainLatinLetters(std::wstring_view text) {
    static constexpr std::wstring_view polish = L"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
    static constexpr std::wstring_view latin = L"acelnoszzACELNOSZZ";
    std::wstring out(text);
    for (wchar_t& c : out)
        if (const size_t k = polish.find(c); k != std::wstring_view::npos) c = latin[k];
    return out;
}

std::wstring MapiRecipientName(std::wstring_view name) { return NameCharsAndSpacesOnly(PlainLatinLetters(name)); }

std::wstring MapiNoteText(std::wstring_view text, std::wstring_view extra, bool convert) {
    std::wstring t(text), e(extra);
    if (convert) {
        t = PlainLatinLetters(t);
        e = PlainLatinLetters(e);
    }
    const std::wstring note = CrLf(t + L"\r\n" + e);
    std::wstring out;
    size_t i = 0;
    while (true) {
        const size_t end = note.find(L"\r\n", i);
        std::wstring line = note.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
        out += line.empty() ? L" " : line;
        if (end == std::wstring::npos) break;
        out += L"\r\n";
        i = end + 2;
    }
    return out;
}

std::wstring MapiErrorText(int code) {
    switch (code) {
    case 0: return L"MAPISendMail successfully sent the message.";
    case 1: return L"The user canceled the process; no message was sent.";
    case 2: return L"One or more unspecified errors occurred; no message was sent.";
    case 3:
        return L"There was no default logon, and the user failed to log on successfully when the logon dialog box was "
               L"displayed. No message was sent.";
    case 5: return L"There was insufficient memory to proceed. No message was sent.";
    case 9: return L"There were too many file attachments; no message was sent.";
    case 10: return L"There were too many recipients; no message was sent.";
    case 11: return L"The specified attachment was not found; no message was sent.";
    case 12: return L"The specified attachment could not be open; no message was sent.";
    case 14: return L"A recipient did not appear in the address list; no message was sent.";
    case 15: return L"The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent.";
    case 18: return L"The text in the message was too large to sent; the message was not sent.";
    case 21:
        return L"A recipient matched more than one of the recipient descriptor structures and MAPI_DIALOG was not set. "
               L"No message was sent.";
    default: return L"nieznany błąd MAPI";
    }
}
