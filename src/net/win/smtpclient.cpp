#include "net/win/smtpclient.h"

#include "net/win/connection.h"
#include "net/smtpreply.h"
#include "util/cp1250.h"

namespace {

// The conversation with the server, on the worker thread.
class Dialogue {
public:
    Dialogue(Connection& conn, int timeoutMs, const std::function<void(std::wstring)>& show)
        : conn_(conn), timeoutMs_(timeoutMs), show_(show) {}

    SmtpResult result;

    // Reads one reply; false (result says why) when none came whole.
    bool Read(SmtpReply& reply) {
        SmtpReplyReader reader;
        for (;;) {
            std::string line;
            if (!ReadLine(line)) return false;
            show_(L"< " + Utf8ToWide(line));
            const bool done = reader.Feed(line);
            if (reader.Failed()) return Fail(NetError::BadResponse, L"Serwer poczty przysłał nieprawidłową odpowiedź.");
            if (done) {
                reply = reader.Reply();
                result.code = reply.code;
                return true;
            }
        }
    }

    // Sends a command and reads its reply.
    bool Command(const std::string& command, SmtpReply& reply) {
        show_(L"> " + Utf8ToWide(command));
        if (!Write(command + "\r\n")) return false;
        return Read(reply);
    }

    bool Write(std::string_view bytes) {
        const NetError e = conn_.Send(bytes, timeoutMs_);
        return e == NetError::None || Fail(e, conn_.Detail());
    }

    bool Refused(const SmtpReply& reply) {
        return Fail(NetError::Refused, L"Serwer poczty odpowiedział: " + Utf8ToWide(reply.lines.empty() ? "" : reply.lines.back()));
    }

    bool Fail(NetError e, std::wstring detail) {
        result.error = e;
        result.detail = std::move(detail);
        return false;
    }

private:
    bool ReadLine(std::string& line) {
        for (;;) {
            const size_t lf = pending_.find('\n');
            if (lf != std::string::npos) {
                line = pending_.substr(0, lf);
                pending_.erase(0, lf + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return true;
            }
            if (pending_.size() > 4096) return Fail(NetError::BadResponse, L"Serwer poczty przysłał zbyt długi wiersz.");
            bool closed = false;
            const NetError e = conn_.Receive(pending_, closed, timeoutMs_);
            if (e != NetError::None) return Fail(e, conn_.Detail());
            if (closed) return Fail(NetError::ConnectionLost, L"Serwer poczty zakończył połączenie.");
        }
    }

    Connection& conn_;
    int timeoutMs_;
    const std::function<void(std::wstring)>& show_;
    std::string pending_;
};

std::string Ascii(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(static_cast<char>(c));
    return out;
}

}  // namespace

std::wstring SmtpResult::Message() const {
    std::wstring text = NetErrorText(error);
    if (!detail.empty()) text += L" " + detail;
    return text;
}

SmtpClient::SmtpClient() = default;
SmtpClient::~SmtpClient() = default;

SmtpResult SmtpClient::Run(std::function<SmtpResult(NetWorker::Context&)> body) {
    if (worker_.Running()) return SmtpResult{NetError::Busy, 0, {}};
    // Stays so unless the step delivers its own result.
    result_ = SmtpResult{NetError::Aborted, 0, {}};
    const bool started = worker_.Start([this, body = std::move(body)](NetWorker::Context& ctx) {
        SmtpResult r = body(ctx);
        ctx.Finish([this, r] { result_ = r; });
    });
    if (!started) return SmtpResult{NetError::System, 0, {}};
    if (!worker_.WaitPumping()) return SmtpResult{NetError::Aborted, 0, {}};
    return result_;
}

SmtpResult SmtpClient::Connect() {
    if (worker_.Running()) return SmtpResult{NetError::Busy, 0, {}};
    connected_ = false;
    connection_.reset();
    if (SchemeDefaultPort(server.scheme) == 0 || (server.scheme != L"smtp" && server.scheme != L"smtps"))
        return SmtpResult{NetError::BadAddress, 0, L"Serwer poczty: " + server.Text()};
    const ServerOrigin origin = server;
    const int timeout = stepTimeoutMs;
    auto show = [this](std::wstring line) {
        return [this, line = std::move(line)] {
            if (OnDisplay) OnDisplay(line);
        };
    };
    SmtpResult r = Run([this, origin, timeout, show](NetWorker::Context& ctx) {
        auto conn = std::make_shared<Connection>(ctx.AbortEvent());
        const std::function<void(std::wstring)> display = [&](std::wstring line) { ctx.Deliver(show(std::move(line))); };
        Dialogue d(*conn, timeout, display);
        display(L"> (łączenie z " + origin.Text() + L")");
        const NetError e = conn->Open(origin.host, origin.port, origin.scheme == L"smtps", timeout);
        if (e != NetError::None) {
            d.Fail(e, conn->Detail());
            return d.result;
        }
        SmtpReply reply;
        if (!d.Read(reply)) return d.result;
        if (reply.code != 220) {
            d.Refused(reply);
            return d.result;
        }
        const std::string domain = conn->LocalAddressLiteral();
        if (!d.Command("EHLO " + domain, reply)) return d.result;
        if (reply.code != 250) {
            // A server that does not know EHLO answers 500 or 502 (any
            // permanent failure): greet it the old way.
            if (!reply.PermanentFailure()) {
                d.Refused(reply);
                return d.result;
            }
            if (!d.Command("HELO " + domain, reply)) return d.result;
            if (reply.code != 250) {
                d.Refused(reply);
                return d.result;
            }
        }
        ctx.Deliver([this, conn] {
            connection_ = conn;
            connected_ = true;
        });
        return d.result;
    });
    return r;
}

SmtpResult SmtpClient::Send(const MailMessage& message) {
    if (worker_.Running()) return SmtpResult{NetError::Busy, 0, {}};
    const std::optional<std::vector<std::string>> lines = ComposeMail(message);
    if (!lines) return SmtpResult{NetError::BadAddress, 0, L"Nieprawidłowy adres nadawcy lub odbiorcy."};
    if (!connected_ || !connection_) {
        const SmtpResult c = Connect();
        if (!c.Ok()) return c;
    }
    std::shared_ptr<Connection> conn = connection_;
    connection_.reset();
    connected_ = false;
    const int timeout = stepTimeoutMs;
    const std::string from = Ascii(message.from.address);
    const std::string to = Ascii(message.to.address);
    auto show = [this](std::wstring line) {
        return [this, line = std::move(line)] {
            if (OnDisplay) OnDisplay(line);
        };
    };
    return Run([conn, lines = *lines, from, to, timeout, show](NetWorker::Context& ctx) {
        // The connection was made by an earlier step, whose abort event is
        // not this one's.
        const std::function<void(std::wstring)> display = [&](std::wstring line) { ctx.Deliver(show(std::move(line))); };
        conn->SetAbortEvent(ctx.AbortEvent());
        Dialogue d(*conn, timeout, display);
        SmtpReply reply;
        // Each command with the replies it takes as a yes.
        auto step = [&](const std::string& command, int ok1, int ok2) {
            if (!d.Command(command, reply)) return false;
            if (reply.code == ok1 || reply.code == ok2) return true;
            d.Refused(reply);
            return false;
        };
        if (!step("MAIL FROM:<" + from + ">", 250, 250) || !step("RCPT TO:<" + to + ">", 250, 251) ||
            !step("DATA", 354, 354)) {
            return d.result;
        }
        std::string data;
        for (const std::string& line : lines) data += DotStuff(line) + "\r\n";
        data += ".\r\n";
        display(L"> (treść wiadomości: " + std::to_wstring(lines.size()) + L" wierszy)");
        display(L"> .");
        if (!d.Write(data) || !d.Read(reply)) return d.result;
        if (reply.code != 250) {
            d.Refused(reply);
            return d.result;
        }
        // The message is accepted; how the farewell goes changes nothing.
        const SmtpResult accepted = d.result;
        d.Command("QUIT", reply);
        conn->Close();
        return accepted;
    });
}

void SmtpClient::Abort() {
    worker_.Abort();
    connected_ = false;
    connection_.reset();
}
