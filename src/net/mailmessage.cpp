#include "net/mailmessage.h"

#include <cstdio>

#include "net/iso88592.h"
#include "net/url.h"
#include "util/calendar.h"
#include "util/cp1250.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Control characters (CR and LF above all) become spaces, runs of them one.
std::wstring OneLine(std::wstring_view text) {
    std::wstring out;
    bool lastWasControl = false;
    for (wchar_t c : text) {
        const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
        if (control) {
            if (!lastWasControl) out.push_back(L' ');
        } else {
            out.push_back(c);
        }
        lastWasControl = control;
    }
    return out;
}

std::string Encode(std::wstring_view text, const std::string& charset) {
    if (charset == "utf-8") return WideToUtf8(text);
    return WideToIso88592(text).value_or(std::string());
}

bool IsPlainAscii(std::wstring_view text) {
    for (wchar_t c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// Characters that may stand for themselves inside a Q-encoded word in any
// header position (RFC 2047, section 5, rule 3).
bool IsQLiteral(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
           c == '+' || c == '-' || c == '/';
}

// The Q-encoded form of one character's bytes.
std::string QChar(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == ' ') out.push_back('_');
        else if (IsQLiteral(c)) out.push_back(static_cast<char>(c));
        else out += {'=', kHex[c >> 4], kHex[c & 15]};
    }
    return out;
}

// Atom characters of RFC 5322 plus the space: a display name of only these
// needs no quoting.
bool IsAtomTextOrSpace(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L' ') return true;
    return std::wstring_view(L"!#$%&'*+-/=?^_`{|}~").find(c) != std::wstring_view::npos;
}

std::string Ascii(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(static_cast<char>(c));
    return out;
}

std::string DisplayName(std::wstring_view raw, const std::string& charset) {
    const std::wstring name = OneLine(raw);
    if (name.empty()) return {};
    if (!IsPlainAscii(name)) return EncodeHeaderText(name, charset);
    bool atoms = true;
    for (wchar_t c : name) atoms = atoms && IsAtomTextOrSpace(c);
    if (atoms && name.find(L"=?") == std::wstring::npos) return Ascii(name);
    std::string quoted = "\"";
    for (wchar_t c : name) {
        if (c == L'"' || c == L'\\') quoted.push_back('\\');
        quoted.push_back(static_cast<char>(c));
    }
    return quoted + "\"";
}

std::string Mailbox(const MailAddress& a, const std::string& charset) {
    const std::string name = DisplayName(a.name, charset);
    const std::string address = "<" + Ascii(a.address) + ">";
    return name.empty() ? address : name + " " + address;
}

// Splits a header line at CR LF (folding) into separate lines.
void AppendHeader(std::vector<std::string>& lines, const std::string& header) {
    size_t start = 0;
    for (;;) {
        const size_t crlf = header.find("\r\n", start);
        lines.push_back(header.substr(start, crlf - start));
        if (crlf == std::string::npos) break;
        start = crlf + 2;
    }
}

}  // namespace

bool IsMailAddress(std::wstring_view address) {
    const size_t at = address.find(L'@');
    if (at == std::wstring_view::npos || at == 0 || at > 64 || address.find(L'@', at + 1) != std::wstring_view::npos)
        return false;
    const std::wstring_view local = address.substr(0, at);
    for (wchar_t c : local) {
        if (c <= 0x20 || c >= 0x7F) return false;
        if (std::wstring_view(L"<>()[],;:\"\\").find(c) != std::wstring_view::npos) return false;
    }
    if (local.front() == L'.' || local.back() == L'.' || local.find(L"..") != std::wstring_view::npos) return false;
    return IsHostName(address.substr(at + 1));
}

std::string MailCharset(const std::vector<std::wstring>& texts) {
    for (const std::wstring& t : texts)
        if (!WideToIso88592(t)) return "utf-8";
    return "iso-8859-2";
}

std::string EncodeHeaderText(std::wstring_view raw, const std::string& charset) {
    const std::wstring text = OneLine(raw);
    if (IsPlainAscii(text) && text.size() <= 900 && text.find(L"=?") == std::wstring::npos) return Ascii(text);
    const std::string prefix = "=?" + charset + "?Q?";
    const size_t room = 75 - prefix.size() - 2;
    std::string out;
    std::string word;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t len = 1;
        if constexpr (sizeof(wchar_t) == 2) {
            const auto c = static_cast<unsigned>(text[i]);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) len = 2;
        }
        const std::string q = QChar(Encode(text.substr(i, len), charset));
        i += len - 1;
        if (word.size() + q.size() > room) {
            out += (out.empty() ? "" : "\r\n ") + prefix + word + "?=";
            word.clear();
        }
        word += q;
    }
    if (!word.empty() || out.empty()) out += (out.empty() ? "" : "\r\n ") + prefix + word + "?=";
    return out;
}

std::vector<std::string> QuotedPrintableLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool last = i + 1 == bytes.size();
        std::string piece;
        if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last)) piece.push_back(static_cast<char>(c));
        else piece = {'=', kHex[c >> 4], kHex[c & 15]};
        // 75 characters and the soft break make 76.
        if (line.size() + piece.size() > 75) {
            lines.push_back(line + "=");
            line.clear();
        }
        line += piece;
    }
    // A space or tab that ended up last on a soft-broken line is safe: the
    // "=" follows it.
    lines.push_back(line);
    return lines;
}

std::optional<std::vector<std::string>> ComposeMail(const MailMessage& m) {
    if (!IsMailAddress(m.from.address) || !IsMailAddress(m.to.address)) return std::nullopt;
    std::vector<std::wstring> texts{m.from.name, m.to.name, m.subject};
    texts.insert(texts.end(), m.body.begin(), m.body.end());
    const std::string charset = MailCharset(texts);

    std::vector<std::string> lines;
    if (!m.date.empty()) lines.push_back("Date: " + Ascii(OneLine(m.date)));
    AppendHeader(lines, "From: " + Mailbox(m.from, charset));
    AppendHeader(lines, "To: " + Mailbox(m.to, charset));
    AppendHeader(lines, "Subject: " + EncodeHeaderText(m.subject, charset));
    lines.push_back("MIME-Version: 1.0");
    lines.push_back("Content-Type: text/plain; charset=" + charset);
    lines.push_back("Content-Transfer-Encoding: quoted-printable");
    lines.push_back("");
    for (const std::wstring& bodyLine : m.body) {
        // A CR or LF inside a body line would start a line of its own.
        std::wstring clean;
        for (wchar_t c : bodyLine)
            if (c != L'\r' && c != L'\n') clean.push_back(c);
        for (std::string& l : QuotedPrintableLines(Encode(clean, charset))) lines.push_back(std::move(l));
    }
    return lines;
}

std::wstring MailDate(DateTimeValue local, int utcOffsetMinutes) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const SplitValue split = SplitDateTime(local);
    const CalendarDate d = DecodeDate(static_cast<DateTimeValue>(split.days));
    const TimeOfDay& t = split.time;
    const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %d %s %04d %02d:%02d:%02d %c%02d%02d",
                  kDays[DayOfWeek(static_cast<DateTimeValue>(split.days))], d.day, kMonths[(d.month + 11) % 12], d.year,
                  t.hour, t.minute, t.second, utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    std::wstring out;
    for (const char* p = buf; *p; ++p) out.push_back(static_cast<wchar_t>(*p));
    return out;
}

std::string DotStuff(std::string_view line) {
    if (!line.empty() && line.front() == '.') return "." + std::string(line);
    return std::string(line);
}
