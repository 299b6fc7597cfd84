#include <gtest/gtest.h>

#include "loopback_servers.h"
#include "net/win/connection.h"
#include "net_test_util.h"

namespace {

// HTTPS: tls_front.py before the loopback HTTP server, with certificates that
// chain to the test authority, which is added to the prefix's root store. The
// client's certificate checks stay as they are.
class Https : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(authority.Installed());
        RestrictNetToLoopback(true);
        client.connectTimeoutMs = 5000;
        client.idleTimeoutMs = 5000;
        events.Attach(client);
    }

    TestAuthority authority;
    LoopbackHttpServer server;
    HttpClient client;
    HttpEvents events;
};

std::string Text(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST_F(Https, GetAndHeadOverATrustedConnection) {
    TlsFront front("localhost", server.Port());
    ASSERT_TRUE(front.Running());
    server.Route("/a.tev", HttpResponse(200, "OK", {"Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT"}, "[Informacja]\r\n"));
    const HttpResult r = GetAndWait(client, events, front.Url("/a.tev"));
    ASSERT_TRUE(r.Ok()) << Text(r.Message());
    EXPECT_EQ(client.Body(), "[Informacja]\r\n");
    EXPECT_NE(server.LastRequestFor("/a.tev").find("Host: localhost:" + std::to_string(front.Port()) + "\r\n"),
              std::string::npos);

    events.headers.clear();
    const HttpResult head = client.Head(front.Url("/a.tev"));
    ASSERT_TRUE(head.Ok()) << Text(head.Message());
    EXPECT_NE(std::find(events.headers.begin(), events.headers.end(), L"Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT"),
              events.headers.end());
}

TEST_F(Https, CertificatesThatDoNotVerifyAreRefused) {
    server.Route("/a.tev", HttpResponse(200, "OK", {}, "tajne"));
    const struct {
        const char* certificate;
        const wchar_t* says;
    } cases[] = {
        {"othername", L"innej nazwy"},
        {"expired", L"wygasł"},
        {"selfsigned", L"zaufanego wystawcy"},
    };
    for (const auto& c : cases) {
        TlsFront front(c.certificate, server.Port());
        ASSERT_TRUE(front.Running()) << c.certificate;
        events = HttpEvents();
        events.Attach(client);
        const HttpResult r = GetAndWait(client, events, front.Url("/a.tev"));
        EXPECT_EQ(r.error, NetError::Certificate) << c.certificate;
        EXPECT_NE(r.detail.find(c.says), std::wstring::npos) << c.certificate << ": " << Text(r.detail);
        EXPECT_TRUE(client.Body().empty());
        // Nothing of the request left before the check.
        EXPECT_TRUE(events.commands.empty()) << c.certificate;
    }
    EXPECT_TRUE(server.LastRequestFor("/a.tev").empty());
}

TEST_F(Https, RedirectsNeverLeadFromHttpsToHttp) {
    TlsFront front("localhost", server.Port());
    ASSERT_TRUE(front.Running());
    server.Route("/bezpieczny.exe", HttpResponse(302, "Found", {"Location: " + Text(server.Url("/jawny.exe"))}, ""));
    server.Route("/jawny.exe", HttpResponse(200, "OK", {}, "podmieniony"));
    server.Route("/do-https.exe", HttpResponse(301, "Moved", {"Location: " + Text(front.Url("/plik.exe"))}, ""));
    server.Route("/plik.exe", HttpResponse(200, "OK", {}, "prawdziwy"));

    HttpResult r = GetAndWait(client, events, front.Url("/bezpieczny.exe"));
    EXPECT_EQ(r.error, NetError::InsecureRedirect);
    EXPECT_TRUE(client.Body().empty());
    EXPECT_TRUE(server.LastRequestFor("/jawny.exe").empty());

    // Upwards is fine.
    events = HttpEvents();
    events.Attach(client);
    r = GetAndWait(client, events, server.Url("/do-https.exe"));
    ASSERT_TRUE(r.Ok()) << Text(r.Message());
    EXPECT_EQ(client.Body(), "prawdziwy");
}

TEST_F(Https, ABodyCutShortIsCaughtUnderTlsToo) {
    TlsFront front("localhost", server.Port());
    ASSERT_TRUE(front.Running());
    server.Route("/urwany.exe", HttpResponse(200, "OK", {"Transfer-Encoding: chunked"}, "5\r\nhello\r\n"));
    server.Route("/krotki.exe", HttpResponse(200, "OK", {"Content-Length: 10"}, "hello"));
    for (const char* path : {"/urwany.exe", "/krotki.exe"}) {
        events = HttpEvents();
        events.Attach(client);
        EXPECT_EQ(GetAndWait(client, events, front.Url(path)).error, NetError::Truncated) << path;
        EXPECT_TRUE(client.Body().empty());
    }
}

}  // namespace
