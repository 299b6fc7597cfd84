#include <gtest/gtest.h>

#include "net/url.h"

namespace {

struct ParseCase {
    const wchar_t* text;
    const wchar_t* expected;  // Url::Text(), nullptr when refused
};

TEST(Url, ParsesWhatTheClientMaySendAndRefusesTheRest) {
    const ParseCase cases[] = {
        {L"http://aktualizacje.tev.example/a.tev", L"http://aktualizacje.tev.example/a.tev"},
        {L"HTTPS://Serwer.TEV.example", L"https://serwer.tev.example/"},
        {L"http://127.0.0.1:8080/pliki/x.exe?v=1#kotwica", L"http://127.0.0.1:8080/pliki/x.exe?v=1"},
        {L"https://host.example:443/", L"https://host.example/"},  // the default port is not written
        {L"http://[::1]:81/x", L"http://[::1]:81/x"},
        {L"http://host.example./x", L"http://host.example/x"},
        // Characters a request line may not carry are escaped; escapes stay.
        {L"http://h.example/moje pliki/zażółć.txt", L"http://h.example/moje%20pliki/za%C5%BC%C3%B3%C5%82%C4%87.txt"},
        {L"http://h.example/a%20b%zz\\c", L"http://h.example/a%20b%25zz%5Cc"},
        {L"http://h.example/a/./b/../c", L"http://h.example/a/c"},
        {L"http://h.example/../../etc", L"http://h.example/etc"},
        // Refused.
        {L"ftp://h.example/x", nullptr},
        {L"http:/h.example/x", nullptr},
        {L"http://user@h.example/x", nullptr},
        {L"http://h.example:0/x", nullptr},
        {L"http://h.example:65536/x", nullptr},
        {L"http://h.example:8o/x", nullptr},
        {L"http://h.example:/x", nullptr},
        {L"http:///x", nullptr},
        {L"http://h_x.example/", nullptr},
        {L"http://-h.example/", nullptr},
        {L"http://żółw.pl/", nullptr},
        {L"http://1.2.3/", nullptr},
        {L"http://300.1.1.1/", nullptr},
        {L"http://h.example/a\r\nX-Wstrzykniety: 1", nullptr},
        {L"http://[::1/x", nullptr},
    };
    for (const ParseCase& c : cases) {
        const auto url = ParseUrl(c.text);
        if (c.expected) {
            ASSERT_TRUE(url) << c.text;
            EXPECT_EQ(url->Text(), c.expected) << c.text;
        } else {
            EXPECT_FALSE(url) << c.text;
        }
    }
}

TEST(Url, PortsAndHostsArePartsOfTheirOwn) {
    const auto url = ParseUrl(L"https://[2001:DB8::1]:8443/p?q");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->host, L"2001:db8::1");
    EXPECT_EQ(url->port, 8443);
    EXPECT_EQ(url->target, L"/p?q");
    EXPECT_EQ(url->Authority(), L"[2001:db8::1]:8443");
    EXPECT_EQ(ParseUrl(L"http://h.example")->port, 80);
}

TEST(Url, RedirectTargetsResolveAgainstTheRequest) {
    const Url base = *ParseUrl(L"https://h.example:8443/pliki/stare/a.exe?x=1");
    const struct {
        const wchar_t* location;
        const wchar_t* expected;
    } cases[] = {
        {L"http://inny.example/b", L"http://inny.example/b"},
        {L"//lustro.example/c", L"https://lustro.example/c"},
        {L"/nowe/a.exe", L"https://h.example:8443/nowe/a.exe"},
        {L"b.exe", L"https://h.example:8443/pliki/stare/b.exe"},
        {L"../b.exe", L"https://h.example:8443/pliki/b.exe"},
        {L"?x=2", L"https://h.example:8443/pliki/stare/a.exe?x=2"},
        {L"  /spacje  ", L"https://h.example:8443/spacje"},
        {L"ftp://h.example/x", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        const auto url = ResolveLocation(base, c.location);
        if (c.expected) {
            ASSERT_TRUE(url) << c.location;
            EXPECT_EQ(url->Text(), c.expected) << c.location;
        } else {
            EXPECT_FALSE(url) << c.location;
        }
    }
}

TEST(Url, PathsFromTheIndexAreTakenLiterally) {
    EXPECT_EQ(PercentEncodePath(L"pliki/setup.exe"), L"pliki/setup.exe");
    EXPECT_EQ(PercentEncodePath(L"pliki/nowa wersja?#%.exe"), L"pliki/nowa%20wersja%3F%23%25.exe");
    EXPECT_EQ(PercentEncodePath(L"ą\\b"), L"%C4%85%5Cb");
}

TEST(Url, HostNames) {
    EXPECT_TRUE(IsHostName(L"lustro1.tev.pl"));
    EXPECT_TRUE(IsHostName(L"localhost"));
    EXPECT_TRUE(IsHostName(L"10.0.0.1"));
    EXPECT_FALSE(IsHostName(L""));
    EXPECT_FALSE(IsHostName(L"a..pl"));
    EXPECT_FALSE(IsHostName(L"evil.com/x.pl"));
    EXPECT_FALSE(IsHostName(L"evil.com:81.pl"));
    EXPECT_FALSE(IsHostName(std::wstring(64, L'a') + L".pl"));
    EXPECT_TRUE(IsHostName(std::wstring(63, L'a') + L".pl"));
}

}  // namespace
