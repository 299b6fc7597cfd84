#pragma once
// The SMTP client of the update notice: connect to the mail server and send
// one plain-text message. Connect greets the server (EHLO, or HELO when the
// server does not know EHLO); Send gives the envelope (MAIL FROM, RCPT TO),
// the message after DATA, dot-stuffed, and closes with QUIT. Both are
// synchronous, the messages running while they wait, and every step waits at
// most StepTimeoutMs for the server. OnDisplay shows each protocol line: "> "
// and what was sent, "< " and what came back (the message text itself as one
// summary line).
#include <functional>
#include <memory>
#include <string>

#include "net/endpoints.h"
#include "net/mailmessage.h"
#include "net/neterror.h"
#include "net/win/networker.h"

class Connection;

struct SmtpResult {
    NetError error = NetError::None;
    int code = 0;         // the server's last reply code
    std::wstring detail;  // more about a failure, in Polish

    bool Ok() const { return error == NetError::None; }
    std::wstring Message() const;
};

class SmtpClient {
public:
    SmtpClient();
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    ServerOrigin server;  // "smtp" or "smtps"
    int stepTimeoutMs = 15000;

    std::function<void(const std::wstring& line)> OnDisplay;

    // Connects and greets; a connection left open before is closed first.
    SmtpResult Connect();
    // Sends the message to message.to from message.from (connecting first
    // when needed), then QUIT; the connection is closed afterwards, whatever
    // happened.
    SmtpResult Send(const MailMessage& message);
    // Stops the step that runs and drops the connection.
    void Abort();
    bool Busy() const { return worker_.Running(); }
    bool Connected() const { return connected_; }

private:
    SmtpResult Run(std::function<SmtpResult(NetWorker::Context&)> body);

    NetWorker worker_;
    // Used by one worker thread at a time: each step starts only after the
    // previous one has ended.
    std::shared_ptr<Connection> connection_;
    bool connected_ = false;
    SmtpResult result_;
};
