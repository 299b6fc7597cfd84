#pragma once
// Test servers on the loopback address, started and stopped by the tests: an
// HTTP server with canned raw answers, an SMTP server that records what it
// receives, and a TLS front that puts HTTPS before the HTTP server. Every loop
// in them is bounded: sockets wait at most a few seconds, stalls end when the
// client goes or the server stops, and the destructor stops everything.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <winsock2.h>

// A raw HTTP response: status line, the given header lines, Content-Length
// (unless the headers have their own framing) and the body.
std::string HttpResponse(int status, const std::string& reason, const std::vector<std::string>& headers,
                         const std::string& body);

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();

    int Port() const { return port_; }
    // "http://127.0.0.1:port" + path
    std::wstring Url(const std::string& path) const;

    // What is sent for a request target: the raw bytes, and then either the
    // connection is closed, or, with stallAfter >= 0, only the first stallAfter
    // bytes are sent and the server goes silent until the client gives up.
    void Route(const std::string& target, const std::string& raw, int stallAfter = -1);
    // Accepts connections and never answers them.
    void SetSilent(bool silent) { silent_ = silent; }

    // The request heads received so far (CR LF kept).
    std::vector<std::string> Requests() const;
    // The head of the last request for target; empty when none came.
    std::string LastRequestFor(const std::string& target) const;
    // Connections the client closed while the server was stalling.
    int ClientsGone() const { return clientsGone_; }

private:
    struct Answer {
        std::string raw;
        int stallAfter = -1;
    };
    void AcceptLoop();
    void Serve(SOCKET s);
    void Stall(SOCKET s);

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> silent_{false};
    std::atomic<int> clientsGone_{0};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> routes_;
    std::vector<std::string> requests_;
    std::thread acceptThread_;
    std::vector<std::thread> workers_;
};

// A listener whose queue is full: connecting to it never completes, which is
// how the tests meet a server that does not answer the connection.
class BlackholeListener {
public:
    BlackholeListener();
    ~BlackholeListener();
    int Port() const { return port_; }

private:
    SOCKET listener_ = INVALID_SOCKET;
    std::vector<SOCKET> fillers_;
    int port_ = 0;
};

class LoopbackSmtpServer {
public:
    struct Options {
        bool greet = true;           // false: accept and say nothing
        bool knowsEhlo = true;       // false: EHLO gets "502"
        int rcptCode = 250;          // the reply to RCPT TO
        int dataDelayMs = 0;         // wait before the reply to the final "."
    };
    explicit LoopbackSmtpServer(Options options);
    LoopbackSmtpServer() : LoopbackSmtpServer(Options{}) {}
    ~LoopbackSmtpServer();

    int Port() const { return port_; }

    // The command lines received (outside the message).
    std::vector<std::string> Commands() const;
    // The message lines as they arrived between DATA and the final ".",
    // still dot-stuffed.
    std::vector<std::string> RawData() const;
    // True once a whole message was received and acknowledged.
    bool MessageReceived() const { return received_; }

private:
    void Run();

    Options options_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> received_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::vector<std::string> data_;
    std::thread thread_;
};

// Puts the test authority's certificate into the prefix's machine root store
// (the tests' own certificates chain to it). It stays there: the prefix under
// the build tree serves the tests alone, and Wine's certificate store keeps
// what a running process has read, so a removal would not hold anyway.
class TestAuthority {
public:
    TestAuthority();
    bool Installed() const { return installed_; }

private:
    bool installed_ = false;
};

// tests/net/win/tls_front.py before a local port, with one of the test
// certificates ("localhost", "othername", "expired", "selfsigned").
class TlsFront {
public:
    TlsFront(const std::string& certificate, int targetPort);
    ~TlsFront();
    bool Running() const { return port_ != 0; }
    int Port() const { return port_; }
    // "https://localhost:port" + path
    std::wstring Url(const std::string& path) const;

private:
    int port_ = 0;
    SOCKET control_ = INVALID_SOCKET;
};

// Decodes a header text of ISO-8859-2 "Q" encoded words (RFC 2047); the
// spaces between two encoded words go, as the RFC says.
std::wstring DecodeEncodedWords(const std::string& text);

// Decodes quoted-printable lines of a message body (soft breaks joined).
std::vector<std::string> DecodeQuotedPrintable(const std::vector<std::string>& lines);
