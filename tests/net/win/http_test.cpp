#include <gtest/gtest.h>

#include "loopback_servers.h"
#include "net/win/connection.h"
#include "net_test_util.h"

namespace {

class Http : public testing::Test {
protected:
    void SetUp() override {
        RestrictNetToLoopback(true);
        client.identity.from = L"Archiwin";
        client.identity.userAgent = L"AA2002 Archiwin";
        client.connectTimeoutMs = 3000;
        client.idleTimeoutMs = 3000;
        events.Attach(client);
    }

    LoopbackHttpServer server;
    HttpClient client;
    HttpEvents events;
};

const std::string kIndex = "[Informacja]\r\nInformacja=Nowa wersja  Linia 2\r\n[Archiwin]\r\nsetup.exe=1.2;Instalator;pliki/setup.exe\r\n";

TEST_F(Http, GetReportsEachStepAndKeepsTheBody) {
    server.Route("/a.tev", HttpResponse(200, "OK", {"Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT"}, kIndex));
    ASSERT_TRUE(client.GetAsync(server.Url("/a.tev")));
    EXPECT_TRUE(client.Busy());  // it returned before the transfer ended
    ASSERT_TRUE(RunMessagesUntil([&] { return events.done > 0; }, 10000));

    EXPECT_TRUE(events.result.Ok()) << events.result.Message();
    EXPECT_EQ(events.done, 1);
    EXPECT_FALSE(client.Busy());
    EXPECT_EQ(events.result.status, 200);
    EXPECT_EQ(events.result.announced, static_cast<std::int64_t>(kIndex.size()));
    EXPECT_EQ(events.result.received, static_cast<std::int64_t>(kIndex.size()));
    EXPECT_EQ(client.Body(), kIndex);
    EXPECT_EQ(events.data, kIndex);
    for (std::int64_t a : events.announced) EXPECT_EQ(a, static_cast<std::int64_t>(kIndex.size()));

    const std::wstring host = L"127.0.0.1:" + std::to_wstring(server.Port());
    const std::vector<std::wstring> sent = {
        L"GET /a.tev HTTP/1.1",
        L"Host: " + host,
        L"From: Archiwin",
        L"User-Agent: AA2002 Archiwin",
        L"Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*",
        L"Connection: close",
    };
    EXPECT_EQ(events.commands, sent);
    std::string expectedHead;
    for (const std::wstring& l : sent) expectedHead += std::string(l.begin(), l.end()) + "\r\n";
    EXPECT_EQ(server.LastRequestFor("/a.tev"), expectedHead + "\r\n");
    ASSERT_FALSE(events.headers.empty());
    EXPECT_EQ(events.headers.front(), L"HTTP/1.1 200 OK");
}

TEST_F(Http, LargeBodiesArriveInBlocksWithTheAnnouncedLength) {
    std::string big;
    for (int i = 0; big.size() < 700000; ++i) big += "wiersz " + std::to_string(i) + "\r\n";
    std::string chunked;
    for (size_t i = 0; i < big.size(); i += 50000) {
        const std::string part = big.substr(i, 50000);
        char size[16];
        std::snprintf(size, sizeof size, "%zx", part.size());
        chunked += std::string(size) + "\r\n" + part + "\r\n";
    }
    chunked += "0\r\n\r\n";
    server.Route("/duzy.exe", HttpResponse(200, "OK", {}, big));
    server.Route("/kawalki.exe", HttpResponse(200, "OK", {"Transfer-Encoding: chunked"}, chunked));

    for (const auto& [path, announced] : {std::pair{"/duzy.exe", std::int64_t(big.size())}, std::pair{"/kawalki.exe", std::int64_t{-1}}}) {
        events = HttpEvents();
        events.Attach(client);
        const HttpResult r = GetAndWait(client, events, server.Url(path));
        ASSERT_TRUE(r.Ok()) << path << ": " << std::string(r.Message().begin(), r.Message().end());
        EXPECT_EQ(client.Body(), big) << path;
        EXPECT_EQ(events.data, big) << path;
        EXPECT_GT(events.blocks, 1) << path;
        for (std::int64_t a : events.announced) EXPECT_EQ(a, announced) << path;
    }
}

TEST_F(Http, OnlyAWholeAnswer200IsASuccess) {
    const struct {
        const char* path;
        std::string raw;
        NetError error;
        int status;
    } cases[] = {
        {"/brak.exe", HttpResponse(404, "Not Found", {}, "<html>404</html>"), NetError::HttpStatus, 404},
        {"/blad.exe", HttpResponse(500, "Internal Server Error", {}, "oops"), NetError::HttpStatus, 500},
        {"/czesc.exe", HttpResponse(206, "Partial Content", {}, "abc"), NetError::HttpStatus, 206},
        {"/bez-adresu.exe", HttpResponse(302, "Found", {}, ""), NetError::HttpStatus, 302},
        {"/krotki.exe", HttpResponse(200, "OK", {"Content-Length: 100"}, std::string(50, 'x')), NetError::Truncated, 200},
        {"/urwany.exe", HttpResponse(200, "OK", {"Transfer-Encoding: chunked"}, "5\r\nhello\r\n3\r\nabc\r\n"), NetError::Truncated, 200},
        {"/smieci.exe", "Tu nie ma HTTP\r\n\r\n", NetError::BadResponse, 0},
        {"/nic.exe", "", NetError::ConnectionLost, 0},
    };
    for (const auto& c : cases) server.Route(c.path, c.raw);
    for (const auto& c : cases) {
        events = HttpEvents();
        events.Attach(client);
        const HttpResult r = GetAndWait(client, events, server.Url(c.path));
        EXPECT_EQ(events.done, 1) << c.path;
        EXPECT_EQ(r.error, c.error) << c.path;
        EXPECT_EQ(r.status, c.status) << c.path;
        EXPECT_TRUE(client.Body().empty()) << c.path;
        EXPECT_FALSE(r.Message().empty());
    }
    // A failure's body never reaches the caller, not even in blocks: only a
    // 200 body is reported.
    events = HttpEvents();
    events.Attach(client);
    GetAndWait(client, events, server.Url("/brak.exe"));
    EXPECT_TRUE(events.data.empty());
}

TEST_F(Http, RedirectsAreFollowedAndBounded) {
    server.Route("/stary/a.exe", HttpResponse(301, "Moved Permanently", {"Location: ../nowy/a.exe"}, "przeniesiono"));
    server.Route("/nowy/a.exe", HttpResponse(200, "OK", {}, "nowa tresc"));
    HttpResult r = GetAndWait(client, events, server.Url("/stary/a.exe"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(client.Body(), "nowa tresc");
    EXPECT_EQ(r.url, server.Url("/nowy/a.exe"));
    EXPECT_EQ(std::count(events.commands.begin(), events.commands.end(), L"GET /nowy/a.exe HTTP/1.1"), 1);

    server.Route("/petla", HttpResponse(302, "Found", {"Location: /petla"}, ""));
    client.maxRedirects = 3;
    const size_t before = server.Requests().size();
    events = HttpEvents();
    events.Attach(client);
    r = GetAndWait(client, events, server.Url("/petla"));
    EXPECT_EQ(r.error, NetError::TooManyRedirects);
    EXPECT_EQ(server.Requests().size() - before, 4u);  // the request and three redirects

    server.Route("/zly", HttpResponse(302, "Found", {"Location: ftp://127.0.0.1/x"}, ""));
    events = HttpEvents();
    events.Attach(client);
    EXPECT_EQ(GetAndWait(client, events, server.Url("/zly")).error, NetError::BadResponse);
}

TEST_F(Http, BodiesAboveTheLimitAreRefused) {
    client.maxBody = 1000;
    server.Route("/zapowiedziany", HttpResponse(200, "OK", {}, std::string(5000, 'x')));
    server.Route("/niezapowiedziany", HttpResponse(200, "OK", {"Transfer-Encoding: chunked"}, "1388\r\n" + std::string(5000, 'x') + "\r\n0\r\n\r\n"));
    for (const char* path : {"/zapowiedziany", "/niezapowiedziany"}) {
        events = HttpEvents();
        events.Attach(client);
        EXPECT_EQ(GetAndWait(client, events, server.Url(path)).error, NetError::TooLarge) << path;
        EXPECT_TRUE(client.Body().empty());
    }
}

TEST_F(Http, TimeoutsEndStalledTransfers) {
    client.idleTimeoutMs = 500;
    const std::string raw = HttpResponse(200, "OK", {}, std::string(1000, 'x'));
    server.Route("/stoi-w-polowie", raw, static_cast<int>(raw.size()) - 500);
    server.Route("/stoi-od-razu", raw, 0);
    for (const char* path : {"/stoi-w-polowie", "/stoi-od-razu"}) {
        events = HttpEvents();
        events.Attach(client);
        const auto start = std::chrono::steady_clock::now();
        const HttpResult r = GetAndWait(client, events, server.Url(path));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(r.error, NetError::IdleTimeout) << path;
        EXPECT_GE(ms, 450) << path;
        EXPECT_LT(ms, 5000) << path;
        EXPECT_TRUE(client.Body().empty());
    }
    // The client let go of the connections.
    EXPECT_TRUE(RunMessagesUntil([&] { return server.ClientsGone() == 2; }, 5000));
}

TEST_F(Http, ConnectTimeoutAndRefusedConnection) {
    client.connectTimeoutMs = 500;
    {
        BlackholeListener hole;
        const auto start = std::chrono::steady_clock::now();
        const HttpResult r = GetAndWait(client, events, L"http://127.0.0.1:" + std::to_wstring(hole.Port()) + L"/a.tev");
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(r.error, NetError::ConnectTimeout);
        EXPECT_LT(ms, 5000);
    }
    int freePort = 0;
    {
        LoopbackHttpServer closed;
        freePort = closed.Port();
    }
    events = HttpEvents();
    events.Attach(client);
    EXPECT_EQ(GetAndWait(client, events, L"http://127.0.0.1:" + std::to_wstring(freePort) + L"/").error, NetError::ConnectFailed);
}

TEST_F(Http, AbortStopsATransferAndNothingFollows) {
    const std::string raw = HttpResponse(200, "OK", {}, std::string(100000, 'x'));
    server.Route("/wolny.exe", raw, 30000);
    client.idleTimeoutMs = 20000;
    ASSERT_TRUE(client.GetAsync(server.Url("/wolny.exe")));
    ASSERT_TRUE(RunMessagesUntil([&] { return events.blocks > 0; }, 10000));
    client.Abort();
    EXPECT_FALSE(client.Busy());
    EXPECT_EQ(client.LastResult().error, NetError::Aborted);
    const int blocks = events.blocks;
    RunMessagesUntil([] { return false; }, 300);
    EXPECT_EQ(events.done, 0);
    EXPECT_EQ(events.blocks, blocks);
    EXPECT_TRUE(client.Body().empty());
    EXPECT_TRUE(RunMessagesUntil([&] { return server.ClientsGone() == 1; }, 5000));

    // The client serves the next request as if nothing happened.
    server.Route("/a.tev", HttpResponse(200, "OK", {}, kIndex));
    EXPECT_TRUE(GetAndWait(client, events, server.Url("/a.tev")).Ok());
    EXPECT_EQ(events.done, 1);
}

TEST_F(Http, TheNextRequestMayStartAsTheLastEnds) {
    server.Route("/a.tev", HttpResponse(200, "OK", {}, kIndex));
    server.Route("/pliki/setup.exe", HttpResponse(200, "OK", {}, "MZ"));
    bool second = false;
    client.OnRequestDone = [&](const HttpResult& r) {
        ++events.done;
        if (events.done == 1) {
            EXPECT_FALSE(client.Busy());
            second = client.GetAsync(server.Url("/pliki/setup.exe"));
        }
    };
    ASSERT_TRUE(client.GetAsync(server.Url("/a.tev")));
    ASSERT_TRUE(RunMessagesUntil([&] { return events.done == 2; }, 10000));
    EXPECT_TRUE(second);
    EXPECT_EQ(client.Body(), "MZ");
}

TEST_F(Http, AClientMayGoInTheMiddleOfATransfer) {
    server.Route("/wolny.exe", HttpResponse(200, "OK", {}, std::string(1000, 'x')), 100);
    auto other = std::make_unique<HttpClient>();
    bool called = false;
    other->OnRequestDone = [&](const HttpResult&) { called = true; };
    ASSERT_TRUE(other->GetAsync(server.Url("/wolny.exe")));
    other.reset();
    RunMessagesUntil([] { return false; }, 300);
    EXPECT_FALSE(called);
}

TEST_F(Http, HeadReportsHeaderLinesAndMayBeAbortedFromOne) {
    server.Route("/pliki/setup.exe",
                 "HTTP/1.1 200 OK\r\nContent-Length: 123456\r\nLast-Modified: Tue, 10 Sep 2002 08:00:00 GMT\r\nX-Po: 1\r\n\r\n");
    client.OnRequestDone = [&](const HttpResult&) { ADD_FAILURE() << "OnRequestDone belongs to GET"; };
    HttpResult r = client.Head(server.Url("/pliki/setup.exe"));
    ASSERT_TRUE(r.Ok()) << std::string(r.Message().begin(), r.Message().end());
    EXPECT_EQ(r.announced, 123456);
    EXPECT_EQ(events.commands.front(), L"HEAD /pliki/setup.exe HTTP/1.1");
    const std::vector<std::wstring> lines = {L"HTTP/1.1 200 OK", L"Content-Length: 123456",
                                             L"Last-Modified: Tue, 10 Sep 2002 08:00:00 GMT", L"X-Po: 1"};
    EXPECT_EQ(events.headers, lines);

    // The wizard stops at the date it wants.
    events.headers.clear();
    client.OnHeaderData = [&](const std::wstring& line) {
        events.headers.push_back(line);
        if (line.find(L"Last-Modified") != std::wstring::npos) client.Abort();
    };
    r = client.Head(server.Url("/pliki/setup.exe"));
    EXPECT_EQ(r.error, NetError::Aborted);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(events.headers.size(), 3u);
    EXPECT_FALSE(client.Busy());

    EXPECT_EQ(client.Head(server.Url("/brak.exe")).status, 404);
    EXPECT_EQ(client.Head(server.Url("/brak.exe")).error, NetError::HttpStatus);
}

TEST_F(Http, HeadRunsTheMessagesWhileItWaits) {
    // A message posted before the call is handled during it and aborts the
    // request that would otherwise wait for its timeout.
    server.SetSilent(true);
    client.idleTimeoutMs = 20000;
    static HttpClient* target = nullptr;
    target = &client;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_USER) {
            target->Abort();
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NetTestAbort";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"NetTestAbort", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetTimer(window, 1, 300, [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        PostMessageW(h, WM_USER, 0, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    const HttpResult r = client.Head(server.Url("/a.tev"));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    DestroyWindow(window);
    EXPECT_EQ(r.error, NetError::Aborted);
    EXPECT_LT(ms, 5000);
}

TEST_F(Http, AFailureInAHandlerReachesTheCallerOfHead) {
    server.Route("/a.tev", HttpResponse(200, "OK", {}, ""));
    client.OnHeaderData = [](const std::wstring&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(client.Head(server.Url("/a.tev")), std::runtime_error);
    EXPECT_FALSE(client.Busy());
}

TEST_F(Http, UnusableRequestsDoNotStart) {
    EXPECT_FALSE(client.GetAsync(L"ftp://127.0.0.1/a.tev"));
    EXPECT_EQ(client.LastResult().error, NetError::BadAddress);
    EXPECT_EQ(client.Head(L"http://zla nazwa/").error, NetError::BadAddress);

    server.Route("/wolny.exe", HttpResponse(200, "OK", {}, std::string(1000, 'x')), 100);
    ASSERT_TRUE(client.GetAsync(server.Url("/wolny.exe")));
    EXPECT_FALSE(client.GetAsync(server.Url("/a.tev")));
    EXPECT_EQ(client.LastResult().error, NetError::Busy);
    client.Abort();
}

TEST_F(Http, TestsReachNoAddressBeyondTheLoopback) {
    // 192.0.2.1 is a documentation address (RFC 5737); the guard refuses it
    // before any packet leaves.
    const HttpResult r = GetAndWait(client, events, L"http://192.0.2.1/a.tev");
    EXPECT_EQ(r.error, NetError::HostNotAllowed);
}

}  // namespace
