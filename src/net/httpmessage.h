#pragma once
// HTTP/1.1 on the wire, without the wire: the lines of a request head and a
// parser that takes a response as it arrives, in blocks of any size. The
// parser checks the framing strictly, because a body cut short must never pass
// for a whole one: a body with a Content-Length is complete when that many
// bytes came, a chunked body when its last (empty) chunk and the trailer
// came, and only a body with neither ends where the connection ends.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/url.h"

// What every request of the update says about itself.
inline constexpr wchar_t kHttpAccept[] = L"image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
struct HttpIdentity {
    std::wstring from;       // "From:", left out when empty
    std::wstring userAgent;  // "User-Agent:", left out when empty
    std::wstring accept = kHttpAccept;
};

// The request head, one line per element without CR LF: the request line,
// then Host, From, User-Agent, Accept and "Connection: close". The client
// sends no cookies, no credentials and asks for no compression.
std::vector<std::string> RequestHead(std::string_view method, const Url& url, const HttpIdentity& identity);

// A header value as it may go on the wire: control characters (CR and LF
// above all, which would start a header of the value's choosing) are dropped,
// the rest is UTF-8.
std::string HeaderValue(std::wstring_view value);

class HttpResponseParser {
public:
    // A response to HEAD has no body whatever its head announces.
    explicit HttpResponseParser(bool headRequest = false);

    // The status line and every header line of the final response (interim
    // 1xx responses are skipped), without CR LF, as they complete.
    std::function<void(std::string_view line)> OnHeadLine;
    // Body bytes, de-chunked, as they arrive.
    std::function<void(std::string_view block)> OnBody;

    // Takes received bytes; false once the response is malformed (Problem()).
    // Bytes after a complete response are ignored.
    bool Feed(std::string_view bytes);
    // The peer closed the connection: true when the response is complete then
    // (a body without length or chunking ends here), false when it was cut
    // short.
    bool Close();

    bool HeadComplete() const { return headComplete_; }
    bool Complete() const { return phase_ == Phase::Complete; }
    bool Failed() const { return phase_ == Phase::Failed; }
    // True once anything of the response arrived.
    bool Started() const { return started_; }
    // What was wrong (English, for logs), empty when nothing was.
    const std::string& Problem() const { return problem_; }

    int Status() const { return status_; }
    const std::string& Reason() const { return reason_; }
    // The announced body length; -1 when the head gave none (chunked, or to
    // the end of the connection).
    std::int64_t ContentLength() const { return contentLength_; }
    bool Chunked() const { return chunked_; }
    std::int64_t BodyReceived() const { return bodyReceived_; }
    // The first value of a header (name in any case), spaces trimmed.
    std::optional<std::string> Header(std::string_view name) const;

private:
    enum class Phase { StatusLine, Headers, Length, ChunkSize, ChunkData, ChunkEnd, Trailer, ToClose, Complete, Failed };

    bool Fail(std::string problem);
    // Takes one line from the input into line_; false when it is not complete yet.
    bool TakeLine(std::string_view& in);
    bool OnStatusLine();
    bool OnHeaderLine();
    bool StartBody();
    void Body(std::string_view block);

    bool headRequest_;
    Phase phase_ = Phase::StatusLine;
    bool started_ = false;
    bool headComplete_ = false;
    bool interim_ = false;
    std::string line_;
    bool lineDone_ = false;
    std::string problem_;
    int status_ = 0;
    std::string reason_;
    std::vector<std::pair<std::string, std::string>> headers_;
    size_t headLines_ = 0;
    std::int64_t contentLength_ = -1;
    bool chunked_ = false;
    std::int64_t remaining_ = 0;
    std::int64_t bodyReceived_ = 0;
};
