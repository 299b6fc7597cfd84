#include <gtest/gtest.h>

#include "net/httpmessage.h"

namespace {

TEST(HttpRequestHead, CarriesTheIdentityAndNothingInjected) {
    HttpIdentity id;
    id.from = L"Studio TEV: Automatyczna Aktualizacja 2002";
    id.userAgent = L"AA/2002/09\r\nX-Wstrzykniety: tak";
    const auto lines = RequestHead("HEAD", *ParseUrl(L"http://127.0.0.1:8080/pliki/a b.exe"), id);
    const std::vector<std::string> expected = {
        "HEAD /pliki/a%20b.exe HTTP/1.1",
        "Host: 127.0.0.1:8080",
        "From: Studio TEV: Automatyczna Aktualizacja 2002",
        "User-Agent: AA/2002/09X-Wstrzykniety: tak",
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*",
        "Connection: close",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(RequestHead("GET", *ParseUrl(L"https://h.example/"), HttpIdentity{})[1], "Host: h.example");
}

// Feeds a response in pieces of the given size and collects what comes out.
struct Parsed {
    bool fed = true;
    bool closedWhole = false;
    std::vector<std::string> lines;
    std::string body;
    HttpResponseParser parser;
    explicit Parsed(bool head) : parser(head) {}
};

std::unique_ptr<Parsed> Parse(const std::string& raw, size_t piece, bool head = false, bool close = true) {
    auto p = std::make_unique<Parsed>(head);
    p->parser.OnHeadLine = [q = p.get()](std::string_view l) { q->lines.emplace_back(l); };
    p->parser.OnBody = [q = p.get()](std::string_view b) { q->body.append(b); };
    for (size_t i = 0; i < raw.size() && p->fed; i += piece) p->fed = p->parser.Feed(std::string_view(raw).substr(i, piece));
    if (close && p->fed) p->closedWhole = p->parser.Close();
    return p;
}

TEST(HttpResponseParser, AcceptsOnlyWholeBodies) {
    const struct {
        const char* name;
        std::string raw;
        bool whole;
        std::string body;
    } cases[] = {
        {"length reached", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", true, "hello"},
        {"length not reached", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", false, "hello"},
        {"bytes after the length are not body", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhello", true, "he"},
        {"chunked with its last chunk",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;ext=1\r\nhello\r\nB\r\n 0123456789\r\n0\r\nX-Sum: 1\r\n\r\n",
         true, "hello 0123456789"},
        {"chunked without its last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", false, "hello"},
        {"chunked, cut inside a chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nhello", false, "hello"},
        {"chunked, last chunk without the trailer's end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n0\r\n", false, ""},
        {"chunked wins over a length", "HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
         true, "ab"},
        {"no framing: the body runs to the close", "HTTP/1.0 200 OK\r\n\r\nall of it", true, "all of it"},
        {"head cut short", "HTTP/1.1 200 OK\r\nContent-Le", false, ""},
        {"nothing at all", "", false, ""},
        {"interim answers are skipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx", true, "x"},
        {"no body in a 204", "HTTP/1.1 204 No Content\r\nContent-Length: 7\r\n\r\n", true, ""},
        {"bare line feeds", "HTTP/1.1 200 OK\nContent-Length: 2\n\nok", true, "ok"},
    };
    for (const auto& c : cases) {
        for (size_t piece : {size_t{1}, size_t{3}, size_t{4096}}) {
            const auto p = Parse(c.raw, piece);
            EXPECT_TRUE(p->fed) << c.name;
            EXPECT_EQ(p->closedWhole, c.whole) << c.name << " in pieces of " << piece;
            EXPECT_EQ(p->body, c.body) << c.name << " in pieces of " << piece;
        }
    }
}

TEST(HttpResponseParser, RefusesMalformedResponses) {
    const struct {
        const char* name;
        std::string raw;
    } cases[] = {
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n"},
        {"HTTP/2 text", "HTTP/2.0 200 OK\r\n\r\n"},
        {"letters in the status", "HTTP/1.1 2OO OK\r\n\r\n"},
        {"letters in the length", "HTTP/1.1 200 OK\r\nContent-Length: 1e3\r\n\r\n"},
        {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n"},
        {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"},
        {"compressed framing", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"},
        {"huge chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1000000000000000\r\n"},
        {"chunk longer than said", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n0\r\n\r\n"},
        {"header without a name", "HTTP/1.1 200 OK\r\n: x\r\n\r\n"},
        {"header line too long", "HTTP/1.1 200 OK\r\nX: " + std::string(9000, 'a') + "\r\n\r\n"},
        {"protocol switch", "HTTP/1.1 101 Switching Protocols\r\n\r\n"},
    };
    for (const auto& c : cases) {
        const auto p = Parse(c.raw, 7, false, false);
        EXPECT_FALSE(p->fed) << c.name;
        EXPECT_TRUE(p->parser.Failed()) << c.name;
        EXPECT_FALSE(p->parser.Problem().empty()) << c.name;
    }
    std::string many = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 200; ++i) many += "X-" + std::to_string(i) + ": 1\r\n";
    EXPECT_FALSE(Parse(many + "\r\n", 4096, false, false)->fed);
}

TEST(HttpResponseParser, ReportsTheHeadLineByLine) {
    const auto p = Parse(
        "HTTP/1.1 200 OK\r\nLast-Modified: Wed, 21 Oct 2015 07:28:00 GMT\r\nX-Zawiniety: a\r\n b\r\nContent-Length: 3\r\n\r\n",
        5, true);
    EXPECT_TRUE(p->closedWhole);  // a HEAD answer has no body whatever it announces
    const std::vector<std::string> expected = {"HTTP/1.1 200 OK", "Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT",
                                               "X-Zawiniety: a", " b", "Content-Length: 3"};
    EXPECT_EQ(p->lines, expected);
    EXPECT_EQ(p->parser.Status(), 200);
    EXPECT_EQ(p->parser.Reason(), "OK");
    EXPECT_EQ(p->parser.Header("LAST-MODIFIED"), "Wed, 21 Oct 2015 07:28:00 GMT");
    EXPECT_EQ(p->parser.Header("x-zawiniety"), "a b");
    EXPECT_EQ(p->parser.ContentLength(), 3);
    EXPECT_FALSE(p->parser.Header("Location"));

    const auto notFound = Parse("HTTP/1.1 404\r\nContent-Length: 0\r\n\r\n", 100);
    EXPECT_EQ(notFound->parser.Status(), 404);
    EXPECT_EQ(notFound->parser.Reason(), "");
}

}  // namespace
