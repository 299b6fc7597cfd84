#pragma once
// The rules of the technical contact that need no window: the program's date
// from its version and how long the contact stays open, the e-mail test and
// the required fields, the message document, and the texts of the Simple
// MAPI hand-over.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/datetime.h"

// The date of a build from its file version "a.b.c.d": year 1999 for a = 99
// and 1900 + a for a = 200 to 299 (the build of 226.12.10 dates from 10
// December 2026), month b, day c. Anything else, or a date that does not
// exist, is no date.
std::optional<DateTimeValue> ProgramDateFromVersion(std::wstring_view version);

// The contact is open until 45 days after the build; a build without a date
// only until 30 December 2002.
bool ContactAvailable(std::optional<DateTimeValue> programDate, DateTimeValue today);
// The refusal, naming the maker's web address and the program's date.
std::wstring ContactRefusal(std::optional<DateTimeValue> programDate, std::wstring_view webAddress);

// The blocked free-mail domain of the e-mail test.
inline constexpr wchar_t kBlockedMailDomain[] = L"@darmowa-poczta.example";
// Trimmed and lower-cased: longer than 3 characters, with "@" and ".", no
// space or ",", not ending with ".", not at the blocked domain.
bool PassesMailTest(std::wstring_view address);

// The user data as UserData keeps them (14 values in its order).
using UserValues = std::array<std::wstring, 14>;
// "Imię" at least 2 characters, "Nazwisko" 3, "Adres" 6, "Miasto" 4.
bool RequiredFieldsFilled(const UserValues& values);

enum class ContactTopic { None, Technical, Orders, ZlotaRybka };
// "Kontakt techniczny", "Zovir Ozeri", or "Kontakt ogólny" for anything else.
std::wstring TopicText(ContactTopic topic);

// The message document, built from the fixed frame and the user's words.
// The frame's markers ("[DATA]", "#DATA" and the others of ExpandMacros,
// "[name]" of a control) are expanded in the frame only; the message text,
// the user data and the information values go in as the user wrote them,
// never read as markup or markers.
struct ContactDocument {
    std::wstring topic;                                        // TopicText
    std::wstring message;                                      // the text of the problem
    std::vector<std::pair<std::wstring, std::wstring>> user;   // label, value
    std::vector<std::pair<std::wstring, std::wstring>> info;   // row name, value
};
// The markup for printing, the user's words escaped ("<" as "&lt;").
std::wstring ContactMarkup(const ContactDocument& doc, DateTimeValue today);
// The plain text for the mail program: the frame's markup turned into text
// (line breaks, "-" lines for rules), the user's words as they are (line ends
// made CR LF).
std::wstring ContactPlainText(const ContactDocument& doc, DateTimeValue today);

// The 18 Polish letters (ą ć ę ł ń ó ś ź ż and capitals) as plain Latin ones.
std::wstring PlainLatinLetters(std::wstring_view text);
// The recipient's name for Simple MAPI: plain Latin letters, and nothing but
// letters, digits, spaces, "-", "." and "_".
std::wstring MapiRecipientName(std::wstring_view name);
// The note: text, CR LF, extra text (the 18 letters made plain when convert),
// every empty line a single space.
std::wstring MapiNoteText(std::wstring_view text, std::wstring_view extra, bool convert);
// The text of a Simple MAPI result code.
std::wstring MapiErrorText(int code);
