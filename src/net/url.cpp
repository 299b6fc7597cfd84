#include "net/url.h"

#include <cstdint>
#include <vector>

#include "util/cp1250.h"

namespace {

bool IsAsciiAlpha(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHexDigit(wchar_t c) { return IsAsciiDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }
wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out) c = AsciiLower(c);
    return out;
}

void AppendEscaped(std::wstring& out, unsigned char byte) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    out.push_back(L'%');
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 15]);
}

// Appends one character that needs escaping, as UTF-8 bytes.
void AppendEscapedChar(std::wstring& out, std::wstring_view text, size_t& i) {
    size_t len = 1;
    if constexpr (sizeof(wchar_t) == 2) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) len = 2;
    }
    for (unsigned char b : WideToUtf8(text.substr(i, len))) AppendEscaped(out, b);
    i += len - 1;
}

bool IsUnreserved(wchar_t c) {
    return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == L'-' || c == L'.' || c == L'_' || c == L'~';
}

bool IsSubDelimOrColonAt(wchar_t c) {
    return std::wstring_view(L"!$&'()*+,;=:@").find(c) != std::wstring_view::npos;
}

// The request target from what follows the authority; nullopt when it holds
// control characters.
std::optional<std::wstring> NormaliseTarget(std::wstring_view rest) {
    const size_t hash = rest.find(L'#');
    if (hash != std::wstring_view::npos) rest = rest.substr(0, hash);
    std::wstring out;
    if (rest.empty() || rest[0] != L'/') out.push_back(L'/');
    for (size_t i = 0; i < rest.size(); ++i) {
        const wchar_t c = rest[i];
        if (c < 0x20 || c == 0x7F) return std::nullopt;
        if (c == L'%') {
            if (i + 2 < rest.size() && IsHexDigit(rest[i + 1]) && IsHexDigit(rest[i + 2])) {
                out.append(rest.substr(i, 3));
                i += 2;
            } else {
                AppendEscaped(out, '%');
            }
        } else if (IsUnreserved(c) || IsSubDelimOrColonAt(c) || c == L'/' || c == L'?') {
            out.push_back(c);
        } else {
            AppendEscapedChar(out, rest, i);
        }
    }
    return out;
}

// Removes "." and ".." segments from the path part of a target (RFC 3986,
// section 5.2.4).
std::wstring RemoveDotSegments(const std::wstring& target) {
    const size_t q = target.find(L'?');
    std::wstring in = target.substr(0, q);
    const std::wstring query = q == std::wstring::npos ? L"" : target.substr(q);
    std::wstring out;
    auto popSegment = [&out] {
        const size_t last = out.rfind(L'/');
        out.erase(last == std::wstring::npos ? 0 : last);
    };
    auto startsWith = [&in](std::wstring_view p) { return std::wstring_view(in).substr(0, p.size()) == p; };
    while (!in.empty()) {
        if (startsWith(L"../")) {
            in.erase(0, 3);
        } else if (startsWith(L"./")) {
            in.erase(0, 2);
        } else if (startsWith(L"/./")) {
            in.replace(0, 3, L"/");
        } else if (in == L"/.") {
            in = L"/";
        } else if (startsWith(L"/../")) {
            in.replace(0, 4, L"/");
            popSegment();
        } else if (in == L"/..") {
            in = L"/";
            popSegment();
        } else if (in == L"." || in == L"..") {
            in.clear();
        } else {
            const size_t next = in.find(L'/', 1);
            out += in.substr(0, next);
            in.erase(0, next == std::wstring::npos ? in.size() : next);
        }
    }
    if (out.empty()) out = L"/";
    return out + query;
}

bool IsIpv6Literal(std::wstring_view s) {
    if (s.empty() || s.size() > 45) return false;
    int colons = 0;
    for (wchar_t c : s) {
        if (c == L':') ++colons;
        else if (!IsHexDigit(c) && c != L'.') return false;
    }
    return colons >= 2;
}

}  // namespace

bool IsIpv4Address(std::wstring_view host) {
    int parts = 0;
    size_t i = 0;
    while (i <= host.size()) {
        size_t end = host.find(L'.', i);
        if (end == std::wstring_view::npos) end = host.size();
        const std::wstring_view part = host.substr(i, end - i);
        if (part.empty() || part.size() > 3) return false;
        int value = 0;
        for (wchar_t c : part) {
            if (!IsAsciiDigit(c)) return false;
            value = value * 10 + (c - L'0');
        }
        if (value > 255) return false;
        ++parts;
        i = end + 1;
    }
    return parts == 4;
}

bool IsHostName(std::wstring_view host) {
    if (host.empty() || host.size() > 253) return false;
    if (IsIpv4Address(host)) return true;
    size_t i = 0;
    bool allNumeric = true;
    while (i <= host.size()) {
        size_t end = host.find(L'.', i);
        if (end == std::wstring_view::npos) end = host.size();
        const std::wstring_view label = host.substr(i, end - i);
        if (label.empty() || label.size() > 63) return false;
        if (label.front() == L'-' || label.back() == L'-') return false;
        allNumeric = true;
        for (wchar_t c : label) {
            if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != L'-') return false;
            if (!IsAsciiDigit(c)) allNumeric = false;
        }
        i = end + 1;
    }
    // A last label of digits only would be read as a number by resolvers
    // ("1.2.3" or "300.1.1.1"): not a name.
    return !allNumeric;
}

std::wstring Url::Authority() const {
    std::wstring out = host.find(L':') != std::wstring::npos ? L"[" + host + L"]" : host;
    if (port != DefaultPort()) out += L":" + std::to_wstring(port);
    return out;
}

std::wstring Url::Text() const { return scheme + L"://" + Authority() + target; }

std::optional<Url> ParseUrl(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    const size_t colon = text.find(L"://");
    if (colon == std::wstring_view::npos) return std::nullopt;
    Url url;
    url.scheme = Lower(text.substr(0, colon));
    if (url.scheme != L"http" && url.scheme != L"https") return std::nullopt;
    std::wstring_view rest = text.substr(colon + 3);
    const size_t end = rest.find_first_of(L"/?#");
    std::wstring_view authority = rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end);
    if (authority.find(L'@') != std::wstring_view::npos) return std::nullopt;

    std::wstring_view hostPart;
    std::wstring_view portPart;
    if (!authority.empty() && authority.front() == L'[') {
        const size_t close = authority.find(L']');
        if (close == std::wstring_view::npos) return std::nullopt;
        hostPart = authority.substr(1, close - 1);
        const std::wstring_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != L':') return std::nullopt;
            portPart = after.substr(1);
            if (portPart.empty()) return std::nullopt;
        }
        if (!IsIpv6Literal(hostPart)) return std::nullopt;
    } else {
        const size_t c = authority.rfind(L':');
        hostPart = authority.substr(0, c);
        if (c != std::wstring_view::npos) {
            portPart = authority.substr(c + 1);
            if (portPart.empty()) return std::nullopt;
        }
        if (!hostPart.empty() && hostPart.back() == L'.') hostPart.remove_suffix(1);
        if (!IsHostName(hostPart)) return std::nullopt;
    }
    url.host = Lower(hostPart);
    url.port = url.DefaultPort();
    if (!portPart.empty()) {
        if (portPart.size() > 5) return std::nullopt;
        int port = 0;
        for (wchar_t c : portPart) {
            if (!IsAsciiDigit(c)) return std::nullopt;
            port = port * 10 + (c - L'0');
        }
        if (port < 1 || port > 65535) return std::nullopt;
        url.port = port;
    }
    const std::optional<std::wstring> target = NormaliseTarget(rest);
    if (!target) return std::nullopt;
    url.target = RemoveDotSegments(*target);
    return url;
}

std::optional<Url> ResolveLocation(const Url& base, std::wstring_view location) {
    while (!location.empty() && (location.front() == L' ' || location.front() == L'\t')) location.remove_prefix(1);
    while (!location.empty() && (location.back() == L' ' || location.back() == L'\t')) location.remove_suffix(1);
    if (location.empty()) return std::nullopt;

    // A scheme: letters, digits, "+", "-" or "." before the first ":", and no
    // "/" before it.
    const size_t colon = location.find(L':');
    const size_t slash = location.find(L'/');
    if (colon != std::wstring_view::npos && (slash == std::wstring_view::npos || colon < slash) &&
        IsAsciiAlpha(location.front())) {
        return ParseUrl(location);
    }
    const std::wstring origin = base.scheme + L"://" + base.Authority();
    if (location.substr(0, 2) == L"//") return ParseUrl(base.scheme + L":" + std::wstring(location));
    if (location.front() == L'/') return ParseUrl(origin + std::wstring(location));
    const std::wstring basePath = base.target.substr(0, base.target.find(L'?'));
    if (location.front() == L'?') return ParseUrl(origin + basePath + std::wstring(location));
    return ParseUrl(origin + basePath.substr(0, basePath.rfind(L'/') + 1) + std::wstring(location));
}

std::wstring PercentEncodePath(std::wstring_view path) {
    std::wstring out;
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (IsUnreserved(c) || IsSubDelimOrColonAt(c) || c == L'/') out.push_back(c);
        else AppendEscapedChar(out, path, i);
    }
    return out;
}
