#include "net/httpmessage.h"

#include <algorithm>

#include "util/cp1250.h"

namespace {

constexpr size_t kMaxLine = 8192;
constexpr size_t kMaxHeadLines = 100;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Ascii(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(static_cast<char>(c));
    return out;
}

}  // namespace

std::string HeaderValue(std::wstring_view value) {
    std::wstring clean;
    for (wchar_t c : value)
        if (c >= 0x20 && c != 0x7F) clean.push_back(c);
    return std::string(Trim(WideToUtf8(clean)));
}

std::vector<std::string> RequestHead(std::string_view method, const Url& url, const HttpIdentity& identity) {
    std::vector<std::string> lines;
    // Url keeps its target percent-encoded and its host checked, so both are
    // plain ASCII here.
    lines.push_back(std::string(method) + " " + Ascii(url.target) + " HTTP/1.1");
    lines.push_back("Host: " + Ascii(url.Authority()));
    const std::string from = HeaderValue(identity.from);
    if (!from.empty()) lines.push_back("From: " + from);
    const std::string agent = HeaderValue(identity.userAgent);
    if (!agent.empty()) lines.push_back("User-Agent: " + agent);
    const std::string accept = HeaderValue(identity.accept);
    if (!accept.empty()) lines.push_back("Accept: " + accept);
    lines.push_back("Connection: close");
    return lines;
}

HttpResponseParser::HttpResponseParser(bool headRequest) : headRequest_(headRequest) {}

std::optional<std::string> HttpResponseParser::Header(std::string_view name) const {
    const std::string key = LowerAscii(name);
    for (const auto& [n, v] : headers_)
        if (n == key) return v;
    return std::nullopt;
}

bool HttpResponseParser::Fail(std::string problem) {
    problem_ = std::move(problem);
    phase_ = Phase::Failed;
    return false;
}

bool HttpResponseParser::TakeLine(std::string_view& in) {
    if (lineDone_) {
        line_.clear();
        lineDone_ = false;
    }
    const size_t lf = in.find('\n');
    const std::string_view part = in.substr(0, lf);
    if (line_.size() + part.size() > kMaxLine) {
        Fail("line too long");
        return false;
    }
    line_.append(part);
    if (lf == std::string_view::npos) {
        in = {};
        return false;
    }
    in.remove_prefix(lf + 1);
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    lineDone_ = true;
    return true;
}

bool HttpResponseParser::OnStatusLine() {
    // "HTTP/1.1 200 OK"; the reason may be empty or missing.
    const std::string_view line = line_;
    if (line.size() < 12 || line.substr(0, 5) != "HTTP/" || line[6] != '.' || line[8] != ' ')
        return Fail("bad status line");
    if (line[5] != '1' || line[7] < '0' || line[7] > '9') return Fail("unsupported HTTP version");
    int status = 0;
    for (size_t i = 9; i < 12; ++i) {
        if (line[i] < '0' || line[i] > '9') return Fail("bad status code");
        status = status * 10 + (line[i] - '0');
    }
    if (line.size() > 12 && line[12] != ' ') return Fail("bad status line");
    if (status < 100) return Fail("bad status code");
    if (status == 101) return Fail("unexpected protocol switch");
    interim_ = status < 200;
    if (!interim_) {
        status_ = status;
        reason_ = line.size() > 13 ? std::string(Trim(line.substr(13))) : std::string();
        if (OnHeadLine) OnHeadLine(line);
    }
    headLines_ = 1;
    phase_ = Phase::Headers;
    return true;
}

bool HttpResponseParser::OnHeaderLine() {
    if (++headLines_ > kMaxHeadLines) return Fail("too many header lines");
    const std::string_view line = line_;
    if (line.front() == ' ' || line.front() == '\t') {
        // A continuation of the previous header (obsolete folding).
        if (headers_.empty() || interim_) return Fail("continuation without a header");
        headers_.back().second += " " + std::string(Trim(line));
    } else {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) return Fail("header line without a name");
        for (size_t i = 0; i < colon; ++i)
            if (!IsTokenChar(line[i])) return Fail("bad header name");
        if (!interim_) headers_.emplace_back(LowerAscii(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1))));
    }
    if (!interim_ && OnHeadLine) OnHeadLine(line);
    return true;
}

bool HttpResponseParser::StartBody() {
    headComplete_ = true;
    for (const auto& [name, value] : headers_) {
        if (name != "content-length") continue;
        const std::string_view v = value;
        if (v.empty() || v.size() > 18) return Fail("bad Content-Length");
        std::int64_t length = 0;
        for (char c : v) {
            if (c < '0' || c > '9') return Fail("bad Content-Length");
            length = length * 10 + (c - '0');
        }
        if (contentLength_ >= 0 && contentLength_ != length) return Fail("conflicting Content-Length");
        contentLength_ = length;
    }
    // The length a HEAD answer announces is that of the body a GET would get.
    if (headRequest_ || status_ == 204 || status_ == 304) {
        phase_ = Phase::Complete;
        return true;
    }
    if (const std::optional<std::string> te = Header("transfer-encoding")) {
        // Only chunked framing is understood (no compression was asked for);
        // with it, any Content-Length is ignored.
        if (Trim(LowerAscii(*te)) != "chunked") return Fail("unsupported transfer coding");
        chunked_ = true;
        contentLength_ = -1;
        phase_ = Phase::ChunkSize;
        return true;
    }
    if (contentLength_ >= 0) {
        remaining_ = contentLength_;
        phase_ = remaining_ == 0 ? Phase::Complete : Phase::Length;
        return true;
    }
    phase_ = Phase::ToClose;
    return true;
}

void HttpResponseParser::Body(std::string_view block) {
    if (block.empty()) return;
    bodyReceived_ += static_cast<std::int64_t>(block.size());
    if (OnBody) OnBody(block);
}

bool HttpResponseParser::Feed(std::string_view in) {
    if (!in.empty()) started_ = true;
    while (!in.empty()) {
        switch (phase_) {
            case Phase::Failed: return false;
            case Phase::Complete: return true;
            case Phase::StatusLine:
                if (!TakeLine(in)) break;
                if (!OnStatusLine()) return false;
                break;
            case Phase::Headers:
                if (!TakeLine(in)) break;
                if (line_.empty()) {
                    if (interim_) {
                        phase_ = Phase::StatusLine;
                        break;
                    }
                    if (!StartBody()) return false;
                    break;
                }
                if (!OnHeaderLine()) return false;
                break;
            case Phase::Length: {
                const size_t n = static_cast<size_t>(std::min<std::int64_t>(remaining_, in.size()));
                const std::string_view block = in.substr(0, n);
                in.remove_prefix(n);
                remaining_ -= static_cast<std::int64_t>(n);
                if (remaining_ == 0) phase_ = Phase::Complete;
                Body(block);
                break;
            }
            case Phase::ChunkSize: {
                if (!TakeLine(in)) break;
                std::string_view line = line_;
                const size_t semi = line.find(';');
                line = Trim(line.substr(0, semi));
                if (line.empty() || line.size() > 15) return Fail("bad chunk size");
                std::int64_t size = 0;
                for (char c : line) {
                    const int v = HexValue(c);
                    if (v < 0) return Fail("bad chunk size");
                    size = size * 16 + v;
                }
                remaining_ = size;
                phase_ = size == 0 ? Phase::Trailer : Phase::ChunkData;
                break;
            }
            case Phase::ChunkData: {
                const size_t n = static_cast<size_t>(std::min<std::int64_t>(remaining_, in.size()));
                const std::string_view block = in.substr(0, n);
                in.remove_prefix(n);
                remaining_ -= static_cast<std::int64_t>(n);
                if (remaining_ == 0) phase_ = Phase::ChunkEnd;
                Body(block);
                break;
            }
            case Phase::ChunkEnd:
                if (!TakeLine(in)) break;
                if (!line_.empty()) return Fail("chunk not followed by a line end");
                phase_ = Phase::ChunkSize;
                break;
            case Phase::Trailer:
                if (!TakeLine(in)) break;
                if (line_.empty()) phase_ = Phase::Complete;
                else if (++headLines_ > kMaxHeadLines) return Fail("too many trailer lines");
                break;
            case Phase::ToClose:
                Body(in);
                in = {};
                break;
        }
        if (phase_ == Phase::Failed) return false;
    }
    return phase_ != Phase::Failed;
}

bool HttpResponseParser::Close() {
    if (phase_ == Phase::ToClose) phase_ = Phase::Complete;
    if (phase_ == Phase::Complete) return true;
    if (phase_ != Phase::Failed) Fail(headComplete_ ? "body cut short" : "head cut short");
    return false;
}
