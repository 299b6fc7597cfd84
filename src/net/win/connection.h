#pragma once
// One TCP connection of a network worker thread, optionally inside TLS
// (Schannel), with blocking-style calls whose every wait ends on its own
// timeout or at once when the worker's abort event is signalled.
//
// TLS: the certificate the server presents is checked on every connection,
// before a byte of the request leaves: it must chain to a root the system
// trusts, be valid today, serve for server authentication and name the host
// that was asked for. There is no switch to turn any of this off.
#include <string>
#include <string_view>

#include <winsock2.h>
#include <windows.h>

#include "net/neterror.h"

// Tests keep every connection of the process on the loopback address: any
// other address is refused with NetError::HostNotAllowed after the name
// lookup.
void RestrictNetToLoopback(bool on);

class Connection {
public:
    explicit Connection(HANDLE abortEvent);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Looks the host up, connects (every address in turn, all within the
    // timeout) and, with tls, makes the TLS handshake and checks the
    // server's certificate for host.
    NetError Open(const std::wstring& host, int port, bool tls, int timeoutMs);
    NetError Send(std::string_view bytes, int timeoutMs);
    // Waits up to timeoutMs for data and appends what came; closed is set
    // when the peer ended the connection (nothing more will come).
    NetError Receive(std::string& out, bool& closed, int timeoutMs);
    void Close();
    // A connection kept from one worker's step to the next waits on the
    // abort event of the step that uses it.
    void SetAbortEvent(HANDLE abortEvent) { abortEvent_ = abortEvent; }
    bool IsOpen() const { return socket_ != INVALID_SOCKET; }

    // More about the last failure, in Polish (may be empty).
    const std::wstring& Detail() const { return detail_; }
    // The local address as an SMTP address literal: "[127.0.0.1]" or
    // "[IPv6:...]".
    std::string LocalAddressLiteral() const;

private:
    enum class WaitResult { Ready, Timeout, Aborted, Failed };
    WaitResult Wait(ULONGLONG deadline);
    NetError Fail(NetError e, std::wstring detail);
    NetError ConnectAddress(const void* addr, int addrLen, ULONGLONG deadline);
    NetError RawSend(std::string_view bytes, ULONGLONG deadline);
    NetError RawReceive(std::string& out, bool& closed, ULONGLONG deadline);
    NetError Handshake(const std::wstring& host, ULONGLONG deadline);
    NetError DecryptWaiting(const std::wstring& host, ULONGLONG deadline);
    NetError CheckCertificate(const std::wstring& host);
    void FreeTls();

    HANDLE abortEvent_;
    HANDLE socketEvent_;
    SOCKET socket_ = INVALID_SOCKET;
    std::wstring detail_;

    bool tls_ = false;
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    struct TlsHandles;
    TlsHandles* handles_ = nullptr;
    std::wstring host_;
    std::string tlsIn_;   // received, not yet decrypted
    std::string plain_;   // decrypted, not yet handed out
    bool peerClosed_ = false;
};
