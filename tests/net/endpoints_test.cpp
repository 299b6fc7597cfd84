#include <gtest/gtest.h>

#include "net/endpoints.h"
#include "net/url.h"

namespace {

TEST(Endpoints, BuiltInValuesReachNoRealHost) {
    const MakerEndpoints e = DefaultEndpoints();
    for (const ServerOrigin* o : {&e.updateServer, &e.mailServer, &e.webServer}) {
        EXPECT_TRUE(o->host.ends_with(L".example")) << o->host;
        EXPECT_TRUE(IsHostName(o->host));
    }
    for (const std::wstring* m : {&e.updateMailbox, &e.notificationSender, &e.supportMailbox, &e.generalMailbox})
        EXPECT_TRUE(m->ends_with(L"@tev.example")) << *m;
    EXPECT_EQ(e.updateServer.Text(), L"https://aktualizacje.tev.example");
    EXPECT_EQ(e.updateServer.UrlOf(L"a.tev"), L"https://aktualizacje.tev.example/a.tev");
    EXPECT_EQ(e.mailServer.Text(), L"smtp://poczta.tev.example");
    EXPECT_EQ(e.WebAddress(), L"https://www.tev.example/");
    EXPECT_EQ(e.NewsAddress(), L"https://www.tev.example/co-nowego/");
}

TEST(Endpoints, OriginsGiveSchemeHostAndPortOnly) {
    const std::vector<std::wstring> web = {L"http", L"https"};
    const struct {
        const wchar_t* text;
        const wchar_t* expected;  // Text(), nullptr when refused
        int port;
    } cases[] = {
        {L"http://127.0.0.1:8080", L"http://127.0.0.1:8080", 8080},
        {L" HTTPS://Serwer.Example/ ", L"https://serwer.example", 443},
        {L"http://serwer.example:80", L"http://serwer.example", 80},
        {L"http://[::1]:81", L"http://[::1]:81", 81},
        {L"smtp://127.0.0.1:2525", nullptr, 0},  // not a web scheme
        {L"http://serwer.example/sciezka", nullptr, 0},
        {L"http://ktos@serwer.example", nullptr, 0},
        {L"http://serwer.example:99999", nullptr, 0},
        {L"serwer.example", nullptr, 0},
        {L"", nullptr, 0},
    };
    for (const auto& c : cases) {
        const auto o = ParseOrigin(c.text, web);
        if (c.expected) {
            ASSERT_TRUE(o) << c.text;
            EXPECT_EQ(o->Text(), c.expected);
            EXPECT_EQ(o->port, c.port);
        } else {
            EXPECT_FALSE(o) << c.text;
        }
    }
    EXPECT_EQ(ParseOrigin(L"smtps://poczta.example", {L"smtp", L"smtps"})->port, 465);
    EXPECT_EQ(ParseOrigin(L"smtp://poczta.example", {L"smtp", L"smtps"})->port, 25);
}

TEST(Endpoints, OverridesReplaceOnlyWithUsableValues) {
    MakerEndpoints e = DefaultEndpoints();
    ApplyEndpointOverride(e, kUpdateServerValue, L"http://127.0.0.1:8080");
    ApplyEndpointOverride(e, kMailServerValue, L"smtp://127.0.0.1:2525");
    ApplyEndpointOverride(e, kUpdateMailboxValue, L"test@localhost");
    ApplyEndpointOverride(e, kWebServerValue, L"smtp://127.0.0.1:1");   // wrong kind: ignored
    ApplyEndpointOverride(e, kSupportMailboxValue, L"nie adres");       // ignored
    ApplyEndpointOverride(e, kSenderValue, L"");                         // ignored
    EXPECT_EQ(e.updateServer.UrlOf(L"/a.tev"), L"http://127.0.0.1:8080/a.tev");
    EXPECT_EQ(e.mailServer.Text(), L"smtp://127.0.0.1:2525");
    EXPECT_EQ(e.updateMailbox, L"test@localhost");
    EXPECT_EQ(e.webServer.Text(), L"https://www.tev.example");
    EXPECT_EQ(e.supportMailbox, DefaultEndpoints().supportMailbox);
    EXPECT_EQ(e.notificationSender, DefaultEndpoints().notificationSender);
}

TEST(Endpoints, MirrorsArePlainHttpUnlessOverridden) {
    EXPECT_EQ(MirrorOrigin(L"Lustro1.TEV.pl", L"").UrlOf(L"pliki/a.exe"), L"http://lustro1.tev.pl/pliki/a.exe");
    EXPECT_EQ(MirrorOrigin(L"lustro1.tev.pl", L"https://127.0.0.1:8443").Text(), L"https://127.0.0.1:8443");
    EXPECT_EQ(MirrorOrigin(L"lustro1.tev.pl", L"ftp://x").Text(), L"http://lustro1.tev.pl");
}

}  // namespace
