#pragma once
// The maker's endpoints: the update server (index, file dates, downloads), the
// mail server and mailboxes of the update notice and the technical contact,
// and the web site. They live here and nowhere else. The built-in values name
// hosts under the reserved domain "example" (RFC 2606), which never resolve:
// a build reaches a real server only once one is configured. Each value can be
// overridden from the registry (ReadEndpoints, net/win/endpoints.h), which is how the tests
// point the program at their loopback servers and how a real server is set up.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a server listens: "http", "https", "smtp" (port 25) or "smtps"
// (TLS from the first byte, port 465), a host name and a port.
struct ServerOrigin {
    std::wstring scheme;
    std::wstring host;
    int port = 0;

    // "scheme://host" with ":port" when it is not the scheme's own.
    std::wstring Text() const;
    // The web address of a path on an http(s) server; path is taken as it is
    // (percent-encode it first) and gets a leading "/" when it has none.
    std::wstring UrlOf(std::wstring_view path) const;
    bool Secure() const { return scheme == L"https" || scheme == L"smtps"; }
};

int SchemeDefaultPort(std::wstring_view scheme);

// "scheme://host[:port]" with an optional trailing "/", the scheme one of
// allowed (any case); nullopt for anything else, paths and user names
// included.
std::optional<ServerOrigin> ParseOrigin(std::wstring_view text, const std::vector<std::wstring>& allowed);

struct MakerEndpoints {
    ServerOrigin updateServer;        // "/a.tev", file dates, default downloads
    ServerOrigin mailServer;          // the update notice goes through it
    std::wstring updateMailbox;       // recipient of the update notice
    std::wstring notificationSender;  // envelope sender and "From:" of the notice
    std::wstring supportMailbox;      // recipient of the technical contact
    std::wstring generalMailbox;      // the maker's general address (originator)
    ServerOrigin webServer;           // the maker's web site

    std::wstring WebAddress() const;   // the site's home page
    std::wstring NewsAddress() const;  // what is new in the latest updates
};

// The built-in values.
MakerEndpoints DefaultEndpoints();

// The registry names of the overrides (string values under
// HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE, key kEndpointsKey).
inline constexpr wchar_t kEndpointsKey[] = L"Software\\TEV\\Adresy";
inline constexpr wchar_t kMirrorsKey[] = L"Software\\TEV\\Adresy\\Serwery lustrzane";
inline constexpr wchar_t kUpdateServerValue[] = L"Serwer aktualizacji";   // http(s)://host[:port]
inline constexpr wchar_t kMailServerValue[] = L"Serwer poczty";           // smtp(s)://host[:port]
inline constexpr wchar_t kWebServerValue[] = L"Serwer WWW";               // http(s)://host[:port]
inline constexpr wchar_t kUpdateMailboxValue[] = L"Skrzynka aktualizacji";
inline constexpr wchar_t kSenderValue[] = L"Nadawca powiadomień";
inline constexpr wchar_t kSupportMailboxValue[] = L"Skrzynka pomocy";
inline constexpr wchar_t kGeneralMailboxValue[] = L"Adres ogólny";

// The endpoints with one override applied: value is the registry text of the
// named value; an empty or unusable text leaves the built-in value.
void ApplyEndpointOverride(MakerEndpoints& endpoints, std::wstring_view name, std::wstring_view value);

// A mirror named by the update index is reached at "http://" + host, unless an
// override (the value named by the host under kMirrorsKey, an http(s) origin)
// sends it elsewhere; override is the registry text, empty when none.
ServerOrigin MirrorOrigin(std::wstring_view host, std::wstring_view override);
