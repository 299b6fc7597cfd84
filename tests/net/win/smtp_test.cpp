#include <gtest/gtest.h>

#include "loopback_servers.h"
#include "net/win/connection.h"
#include "net/iso88592.h"
#include "net/win/smtpclient.h"
#include "net_test_util.h"

namespace {

class Smtp : public testing::Test {
protected:
    void SetUp() override { RestrictNetToLoopback(true); }

    void Aim(SmtpClient& client, const LoopbackSmtpServer& server) {
        client.server = {L"smtp", L"127.0.0.1", server.Port()};
        client.stepTimeoutMs = 3000;
        client.OnDisplay = [this](const std::wstring& line) { display.push_back(line); };
    }

    static MailMessage Notice() {
        MailMessage m;
        m.from = {L"Archiwin", L"archiwin@tev.example"};
        m.to = {L"Studio TEV", L"aktualizacje@tev.example"};
        m.subject = L"Archiwin: Pobrano plik źródła.exe (pliki/źródła.exe)";
        m.body = {L"pobrano źródła.exe z pliki/źródła.exe (1234)", L"Ąą Śś Źź Łł", L".", L".kropka", L"..dwie", L"-"};
        return m;
    }

    std::vector<std::wstring> display;
};

// The message as the server got it: header lines, and the body decoded back
// to the sender's text.
struct Received {
    std::vector<std::string> headers;
    std::vector<std::wstring> body;
};

Received Unpack(const std::vector<std::string>& raw) {
    Received r;
    std::vector<std::string> lines;
    for (const std::string& l : raw) lines.push_back(l.rfind('.', 0) == 0 ? l.substr(1) : l);  // undo the stuffing
    size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        if (lines[i][0] == ' ' && !r.headers.empty()) r.headers.back() += lines[i];  // unfold
        else r.headers.push_back(lines[i]);
    }
    std::vector<std::string> body(lines.begin() + static_cast<std::ptrdiff_t>(std::min(i + 1, lines.size())), lines.end());
    for (const std::string& b : DecodeQuotedPrintable(body)) r.body.push_back(Iso88592ToWide(b));
    return r;
}

TEST_F(Smtp, SendsOneMessageInIso88592WithEveryStep) {
    LoopbackSmtpServer server;
    SmtpClient client;
    Aim(client, server);
    SmtpResult r = client.Connect();
    ASSERT_TRUE(r.Ok()) << std::string(r.Message().begin(), r.Message().end());
    EXPECT_TRUE(client.Connected());
    r = client.Send(Notice());
    ASSERT_TRUE(r.Ok()) << std::string(r.Message().begin(), r.Message().end());
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(server.MessageReceived());

    const std::vector<std::string> commands = {"EHLO [127.0.0.1]", "MAIL FROM:<archiwin@tev.example>",
                                               "RCPT TO:<aktualizacje@tev.example>", "DATA", "QUIT"};
    EXPECT_EQ(server.Commands(), commands);

    const std::vector<std::string> raw = server.RawData();
    // Lines that began with a dot went out with one more.
    EXPECT_NE(std::find(raw.begin(), raw.end(), ".."), raw.end());
    EXPECT_NE(std::find(raw.begin(), raw.end(), "..kropka"), raw.end());
    EXPECT_NE(std::find(raw.begin(), raw.end(), "...dwie"), raw.end());

    const Received got = Unpack(raw);
    EXPECT_NE(std::find(got.headers.begin(), got.headers.end(), "Content-Type: text/plain; charset=iso-8859-2"), got.headers.end());
    EXPECT_NE(std::find(got.headers.begin(), got.headers.end(), "To: Studio TEV <aktualizacje@tev.example>"), got.headers.end());
    const auto subject = std::find_if(got.headers.begin(), got.headers.end(), [](const std::string& h) { return h.rfind("Subject: ", 0) == 0; });
    ASSERT_NE(subject, got.headers.end());
    EXPECT_EQ(subject->substr(0, 24), "Subject: =?iso-8859-2?Q?");
    EXPECT_EQ(DecodeEncodedWords(subject->substr(9)), Notice().subject);
    EXPECT_EQ(got.body, Notice().body);

    // The display shows the dialogue.
    for (const wchar_t* line : {L"< 220 test.local ESMTP gotowy", L"> EHLO [127.0.0.1]", L"< 250 SIZE 1000000",
                                L"> MAIL FROM:<archiwin@tev.example>", L"> DATA", L"< 250 2.0.0 Przyjeto", L"> QUIT",
                                L"< 221 2.0.0 Do widzenia"}) {
        EXPECT_NE(std::find(display.begin(), display.end(), line), display.end()) << std::string(line, line + wcslen(line));
    }
    // The message itself shows as one line.
    EXPECT_EQ(std::count_if(display.begin(), display.end(),
                            [](const std::wstring& l) { return l.rfind(L"> (treść wiadomości: ", 0) == 0; }),
              1);
}

TEST_F(Smtp, GreetsWithHeloWhenTheServerDoesNotKnowEhlo) {
    LoopbackSmtpServer server({.knowsEhlo = false});
    SmtpClient client;
    Aim(client, server);
    const SmtpResult r = client.Send(Notice());  // connects by itself
    ASSERT_TRUE(r.Ok());
    const std::vector<std::string> commands = server.Commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "EHLO [127.0.0.1]");
    EXPECT_EQ(commands[1], "HELO [127.0.0.1]");
    EXPECT_EQ(commands[2], "MAIL FROM:<archiwin@tev.example>");
    EXPECT_TRUE(server.MessageReceived());
}

TEST_F(Smtp, ARefusedRecipientStopsBeforeTheMessage) {
    LoopbackSmtpServer server({.rcptCode = 550});
    SmtpClient client;
    Aim(client, server);
    const SmtpResult r = client.Send(Notice());
    EXPECT_EQ(r.error, NetError::Refused);
    EXPECT_EQ(r.code, 550);
    EXPECT_NE(r.detail.find(L"550 5.1.1"), std::wstring::npos);
    const std::vector<std::string> commands = server.Commands();
    EXPECT_EQ(std::find(commands.begin(), commands.end(), "DATA"), commands.end());
    EXPECT_FALSE(server.MessageReceived());
}

TEST_F(Smtp, EveryStepWaitsOnlySoLong) {
    {
        LoopbackSmtpServer silent({.greet = false});
        SmtpClient client;
        Aim(client, silent);
        client.stepTimeoutMs = 500;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(client.Connect().error, NetError::IdleTimeout);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    {
        LoopbackSmtpServer slow({.dataDelayMs = 1500});
        SmtpClient client;
        Aim(client, slow);
        client.stepTimeoutMs = 500;
        EXPECT_EQ(client.Send(Notice()).error, NetError::IdleTimeout);
    }
}

TEST_F(Smtp, AbortFromTheDisplayStopsTheExchange) {
    LoopbackSmtpServer server;
    SmtpClient client;
    Aim(client, server);
    client.OnDisplay = [&](const std::wstring& line) {
        if (line == L"> DATA") client.Abort();
    };
    EXPECT_EQ(client.Send(Notice()).error, NetError::Aborted);
    EXPECT_FALSE(client.Busy());
    EXPECT_FALSE(client.Connected());
    RunMessagesUntil([] { return false; }, 300);
    EXPECT_FALSE(server.MessageReceived());
}

TEST_F(Smtp, UnusableAddressesNeverReachTheServer) {
    LoopbackSmtpServer server;
    SmtpClient client;
    Aim(client, server);
    MailMessage m = Notice();
    m.to.address = L"aktualizacje@tev.example>\r\nRCPT TO:<obcy@example.com";
    EXPECT_EQ(client.Send(m).error, NetError::BadAddress);
    client.server = {L"http", L"127.0.0.1", server.Port()};
    EXPECT_EQ(client.Connect().error, NetError::BadAddress);
    RunMessagesUntil([] { return false; }, 100);
    EXPECT_TRUE(server.Commands().empty());
}

TEST_F(Smtp, SmtpsSpeaksTlsFromTheFirstByte) {
    TestAuthority authority;
    ASSERT_TRUE(authority.Installed());
    LoopbackSmtpServer server;
    TlsFront front("localhost", server.Port());
    ASSERT_TRUE(front.Running());
    SmtpClient client;
    Aim(client, server);
    client.server = {L"smtps", L"localhost", front.Port()};
    const SmtpResult r = client.Send(Notice());
    ASSERT_TRUE(r.Ok()) << std::string(r.Message().begin(), r.Message().end());
    EXPECT_TRUE(server.MessageReceived());
}

}  // namespace
