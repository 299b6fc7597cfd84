#pragma once
// Simple MAPI: a message handed to the user's own mail program. The system's
// MAPISendMail is taken from "MAPI32.DLL" on first use; tests put a sender of
// their own in its place, so that no test ever reaches a mail program.
#include <functional>
#include <string>

struct MapiMail {
    std::wstring subject;
    std::wstring note;
    std::wstring fromName, fromAddress;
    std::wstring toName, toAddress;
};

// The result when MAPI32.DLL or its MAPISendMail is missing: no mail program
// is set up. (MAPI's own codes are 0 and up.)
inline constexpr int kMapiMissing = -1;

using MapiSender = std::function<int(const MapiMail& mail)>;
// Installs a sender in place of the system's (an empty one puts the system's
// back) and returns the previous one.
MapiSender SetMapiSender(MapiSender sender);
// The system's MAPISendMail: no session, no parent window, logon allowed,
// no compose dialog, texts in the system's ANSI code page.
int SystemMapiSendMail(const MapiMail& mail);

// SendMapiMail: the note (text, CR LF, extra; the 18 Polish letters made
// plain with convert), the subject, and the recipient (name made plain),
// from "Studio TEV" at the maker's general address. True when MAPI took the
// message; otherwise the warning "Simple Mapi" with the code and its text
// (in Polish when no mail program is set up) has been shown.
bool SendMapiMail(const std::wstring& text, const std::wstring& extra, const std::wstring& subject, bool convert,
                  const std::wstring& address, const std::wstring& name);
