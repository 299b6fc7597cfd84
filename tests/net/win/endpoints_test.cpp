#include <gtest/gtest.h>

#include "net/win/endpoints.h"
#include "util/win/registry.h"

namespace {

class EndpointsRegistry : public testing::Test {
protected:
    void SetUp() override { RegDeleteKey(kCurrentUser, kEndpointsKey); }
    void TearDown() override { RegDeleteKey(kCurrentUser, kEndpointsKey); }
};

TEST_F(EndpointsRegistry, TheRegistryOverridesEachEndpoint) {
    const MakerEndpoints builtIn = ReadEndpoints();
    EXPECT_EQ(builtIn.updateServer.Text(), DefaultEndpoints().updateServer.Text());

    RegWriteString(kCurrentUser, kEndpointsKey, kUpdateServerValue, L"http://127.0.0.1:18080");
    RegWriteString(kCurrentUser, kEndpointsKey, kMailServerValue, L"smtp://127.0.0.1:12525");
    RegWriteString(kCurrentUser, kEndpointsKey, kUpdateMailboxValue, L"test@localhost");
    RegWriteString(kCurrentUser, kEndpointsKey, kWebServerValue, L"to nie jest adres");
    const MakerEndpoints e = ReadEndpoints();
    EXPECT_EQ(e.updateServer.UrlOf(L"a.tev"), L"http://127.0.0.1:18080/a.tev");
    EXPECT_EQ(e.mailServer.port, 12525);
    EXPECT_EQ(e.updateMailbox, L"test@localhost");
    EXPECT_EQ(e.webServer.Text(), DefaultEndpoints().webServer.Text());

    EXPECT_EQ(ReadMirrorOrigin(L"lustro1.tev.pl").Text(), L"http://lustro1.tev.pl");
    RegWriteString(kCurrentUser, kMirrorsKey, L"lustro1.tev.pl", L"http://127.0.0.1:18081");
    EXPECT_EQ(ReadMirrorOrigin(L"lustro1.tev.pl").UrlOf(L"pliki/a.exe"), L"http://127.0.0.1:18081/pliki/a.exe");
    EXPECT_EQ(ReadMirrorOrigin(L"lustro2.tev.pl").Text(), L"http://lustro2.tev.pl");
}

}  // namespace
