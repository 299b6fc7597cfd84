#include "net/endpoints.h"

#include "net/mailmessage.h"
#include "net/url.h"

namespace {

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return out;
}

std::wstring Trimmed(std::wstring_view s) {
    while (!s.empty() && s.front() == L' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
    return std::wstring(s);
}

void OverrideOrigin(ServerOrigin& origin, std::wstring_view value, const std::vector<std::wstring>& allowed) {
    if (const auto parsed = ParseOrigin(value, allowed)) origin = *parsed;
}

void OverrideMailbox(std::wstring& mailbox, std::wstring_view value) {
    const std::wstring v = Trimmed(value);
    if (IsMailAddress(v)) mailbox = v;
}

}  // namespace

int SchemeDefaultPort(std::wstring_view scheme) {
    if (scheme == L"http") return 80;
    if (scheme == L"https") return 443;
    if (scheme == L"smtp") return 25;
    if (scheme == L"smtps") return 465;
    return 0;
}

std::wstring ServerOrigin::Text() const {
    std::wstring h = host.find(L':') != std::wstring::npos ? L"[" + host + L"]" : host;
    std::wstring out = scheme + L"://" + h;
    if (port != SchemeDefaultPort(scheme)) out += L":" + std::to_wstring(port);
    return out;
}

std::wstring ServerOrigin::UrlOf(std::wstring_view path) const {
    return Text() + (path.empty() || path.front() != L'/' ? L"/" : L"") + std::wstring(path);
}

std::optional<ServerOrigin> ParseOrigin(std::wstring_view text, const std::vector<std::wstring>& allowed) {
    std::wstring t = Trimmed(text);
    if (!t.empty() && t.back() == L'/') t.pop_back();
    const size_t sep = t.find(L"://");
    if (sep == std::wstring::npos) return std::nullopt;
    const std::wstring scheme = Lower(t.substr(0, sep));
    bool known = false;
    for (const std::wstring& a : allowed) known = known || a == scheme;
    if (!known) return std::nullopt;
    // The authority rules are those of a web address; the scheme is put
    // aside for the check.
    const std::wstring rest = t.substr(sep + 3);
    if (rest.empty() || rest.find_first_of(L"/?#@") != std::wstring::npos) return std::nullopt;
    const bool explicitPort =
        rest.front() == L'[' ? rest.find(L"]:") != std::wstring::npos : rest.find(L':') != std::wstring::npos;
    const auto url = ParseUrl(L"http://" + rest);
    if (!url) return std::nullopt;
    ServerOrigin origin{scheme, url->host, SchemeDefaultPort(scheme)};
    if (explicitPort) origin.port = url->port;
    return origin;
}

std::wstring MakerEndpoints::WebAddress() const { return webServer.UrlOf(L"/"); }
std::wstring MakerEndpoints::NewsAddress() const { return webServer.UrlOf(L"/co-nowego/"); }

MakerEndpoints DefaultEndpoints() {
    MakerEndpoints e;
    e.updateServer = {L"https", L"aktualizacje.tev.example", 443};
    e.mailServer = {L"smtp", L"poczta.tev.example", 25};
    e.updateMailbox = L"aktualizacje@tev.example";
    e.notificationSender = L"archiwin@tev.example";
    e.supportMailbox = L"pomoc@tev.example";
    e.generalMailbox = L"biuro@tev.example";
    e.webServer = {L"https", L"www.tev.example", 443};
    return e;
}

void ApplyEndpointOverride(MakerEndpoints& e, std::wstring_view name, std::wstring_view value) {
    if (name == kUpdateServerValue) OverrideOrigin(e.updateServer, value, {L"http", L"https"});
    else if (name == kMailServerValue) OverrideOrigin(e.mailServer, value, {L"smtp", L"smtps"});
    else if (name == kWebServerValue) OverrideOrigin(e.webServer, value, {L"http", L"https"});
    else if (name == kUpdateMailboxValue) OverrideMailbox(e.updateMailbox, value);
    else if (name == kSenderValue) OverrideMailbox(e.notificationSender, value);
    else if (name == kSupportMailboxValue) OverrideMailbox(e.supportMailbox, value);
    else if (name == kGeneralMailboxValue) OverrideMailbox(e.generalMailbox, value);
}

ServerOrigin MirrorOrigin(std::wstring_view host, std::wstring_view override) {
    if (const auto parsed = ParseOrigin(override, {L"http", L"https"})) return *parsed;
    return ServerOrigin{L"http", Lower(host), 80};
}
