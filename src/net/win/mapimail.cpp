#include "net/win/mapimail.h"

#include <windows.h>
#include <mapi.h>

#include <string>

#include "interact/ask.h"
#include "net/contact.h"
#include "net/win/endpoints.h"
#include "util/safeformat.h"

namespace {

MapiSender& Installed() {
    static MapiSender sender;
    return sender;
}

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

MapiSender SetMapiSender(MapiSender sender) {
    MapiSender previous = std::move(Installed());
    Installed() = std::move(sender);
    return previous;
}

int SystemMapiSendMail(const MapiMail& mail) {
    static HMODULE library = LoadLibraryW(L"MAPI32.DLL");
    if (!library) return kMapiMissing;
    auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    if (!send) return kMapiMissing;

    std::string subject = Ansi(mail.subject), note = Ansi(mail.note);
    std::string fromName = Ansi(mail.fromName), fromAddress = "SMTP:" + Ansi(mail.fromAddress);
    std::string toName = Ansi(mail.toName), toAddress = "SMTP:" + Ansi(mail.toAddress);
    MapiRecipDesc from{};
    from.ulRecipClass = MAPI_ORIG;
    from.lpszName = fromName.data();
    from.lpszAddress = fromAddress.data();
    MapiRecipDesc to{};
    to.ulRecipClass = MAPI_TO;
    to.lpszName = toName.data();
    to.lpszAddress = toAddress.data();
    MapiMessage message{};
    message.lpszSubject = subject.data();
    message.lpszNoteText = note.data();
    message.lpOriginator = &from;
    message.nRecipCount = 1;
    message.lpRecips = &to;
    return static_cast<int>(send(0, 0, &message, MAPI_LOGON_UI, 0));
}

bool SendMapiMail(const std::wstring& text, const std::wstring& extra, const std::wstring& subject, bool convert,
                  const std::wstring& address, const std::wstring& name) {
    MapiMail mail;
    mail.subject = subject;
    mail.note = MapiNoteText(text, extra, convert);
    mail.fromName = L"Studio TEV";
    mail.fromAddress = ReadEndpoints().generalMailbox;
    mail.toName = MapiRecipientName(name);
    mail.toAddress = address;
    const int code = Installed() ? Installed()(mail) : SystemMapiSendMail(mail);
    if (code == 0) return true;
    if (code == kMapiMissing)
        Ask(L"!Simple Mapi\r\nW systemie nie ma programu pocztowego, któremu można przekazać wiadomość "
            L"(brak biblioteki MAPI32.DLL albo jej funkcji MAPISendMail).");
    else
        Ask(L"!Simple Mapi\r\n" + SafeFormat(L"%d: %s", {code, MapiErrorText(code)}));
    return false;
}
