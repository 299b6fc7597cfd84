#pragma once
// One plain-text e-mail as it goes after the SMTP DATA command (RFC 5322 and
// MIME). The text is the program's own; it leaves in ISO-8859-2, the
// character set Polish mail has long used, and in UTF-8 only when some
// character has no ISO-8859-2 form (a euro sign, typographic quotes), so that
// nothing is replaced by question marks. The body is quoted-printable: it
// passes any server, 8-bit clean or not, and lines of any length arrive whole.
// Every header value is put on one line: CR, LF and other control characters
// become spaces, so no value can add a header of its own.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/datetime.h"

struct MailAddress {
    std::wstring name;     // display name, may be empty
    std::wstring address;  // "local@domain"
};

struct MailMessage {
    MailAddress from;
    MailAddress to;
    std::wstring subject;
    std::vector<std::wstring> body;  // lines, without line ends
    std::wstring date;               // "Date:" value, e.g. from MailDate(); left out when empty
};

// A mailbox that can go into an SMTP envelope and a header unquoted: printable
// ASCII without spaces, brackets, quotes, commas, semicolons or backslashes,
// one "@", a local part of at most 64 characters and a host name (IsHostName)
// as domain.
bool IsMailAddress(std::wstring_view address);

// The message's lines (headers, an empty line, the body), each without CR LF
// and not yet dot-stuffed; nullopt when an address fails IsMailAddress.
std::optional<std::vector<std::string>> ComposeMail(const MailMessage& message);

// The character set ComposeMail will declare for these texts:
// "iso-8859-2", or "utf-8" when some character has no ISO-8859-2 form.
std::string MailCharset(const std::vector<std::wstring>& texts);

// A header text for a "Subject:" or a display name, in the given charset:
// unchanged when it is short printable ASCII that needs no quoting, else RFC
// 2047 encoded words ("=?iso-8859-2?Q?...?="), each at most 75 characters,
// joined by folding (CR LF space) so that no line grows too long.
std::string EncodeHeaderText(std::wstring_view text, const std::string& charset);

// Quoted-printable lines (RFC 2045) of one line of bytes: "=" and bytes
// outside printable ASCII as "=XX", a space or tab at the end of a line too,
// lines of at most 76 characters joined by soft breaks ("=" at the end).
std::vector<std::string> QuotedPrintableLines(std::string_view bytes);

// "Thu, 10 Dec 2026 14:41:09 +0100": a local time and its offset from UTC.
std::wstring MailDate(DateTimeValue local, int utcOffsetMinutes);

// One line as it goes in the DATA section: a leading "." is doubled so that
// no line of the message can end it (RFC 5321, section 4.5.2).
std::string DotStuff(std::string_view line);
