#pragma once
// Web addresses as the HTTP client uses them: "http" and "https" only, a host
// given by name or number, an optional port, and the request target (path and
// query) already percent-encoded as it goes on the wire. Anything a server
// could be fooled by is refused rather than repaired: user names in the
// authority ("http://a@b"), control characters, names that are no DNS names.
#include <optional>
#include <string>
#include <string_view>

struct Url {
    std::wstring scheme;         // "http" or "https"
    std::wstring host;           // lower case; an IPv6 address without brackets
    int port = 0;                // always set, the scheme's own when not given
    std::wstring target = L"/";  // path and query, percent-encoded

    bool Secure() const { return scheme == L"https"; }
    int DefaultPort() const { return Secure() ? 443 : 80; }
    // The host (IPv6 in brackets), with ":port" when it is not the default.
    std::wstring Authority() const;
    // scheme://authority + target
    std::wstring Text() const;
};

// nullopt for anything but a well-formed http:// or https:// address. Spaces,
// non-ASCII letters (as UTF-8) and the characters a request line may not
// carry are percent-encoded; a fragment ("#...") is dropped.
std::optional<Url> ParseUrl(std::wstring_view text);

// The address a redirect's Location names, relative to the request's own
// address (absolute, "//host/...", "/path", "name" or "?query" forms).
std::optional<Url> ResolveLocation(const Url& base, std::wstring_view location);

// A DNS host name: dot-separated labels of ASCII letters, digits and inner
// hyphens, each 1 to 63 characters, 253 in all; or a dotted IPv4 address.
bool IsHostName(std::wstring_view host);
bool IsIpv4Address(std::wstring_view host);

// A path taken literally (a file's path on the server, for instance): every
// character but letters, digits, "/" and "-._~!$&'()*+,;=:@" is
// percent-encoded, non-ASCII ones as UTF-8. A "%" becomes "%25".
std::wstring PercentEncodePath(std::wstring_view path);
