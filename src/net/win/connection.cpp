#define SECURITY_WIN32
#include "net/win/connection.h"

#include <ws2tcpip.h>
#include <security.h>
#include <schannel.h>
#include <wincrypt.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

std::atomic<bool> gLoopbackOnly{false};

// Winsock is started once for the process and left running.
bool StartWinsock() {
    static const bool ok = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ok;
}

bool IsLoopback(const sockaddr* a) {
    if (a->sa_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(a);
        return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
    }
    if (a->sa_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a);
        static const unsigned char loop[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
        const unsigned char* b = in6->sin6_addr.s6_addr;
        if (std::equal(b, b + 16, loop)) return true;
        static const unsigned char mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
        return std::equal(b, b + 12, mapped) && b[12] == 127;
    }
    return false;
}

std::wstring Code(long code) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L" (kod %ld)", code);
    return buf;
}

std::wstring HexCode(unsigned long code) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L" (kod 0x%08lX)", code);
    return buf;
}

// The certificate problem, from the policy's error or the chain's status bits.
std::wstring CertificateProblem(DWORD policyError, DWORD trustStatus, const std::wstring& host) {
    switch (policyError) {
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return L"Certyfikat serwera wystawiono dla innej nazwy niż " + host + L".";
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return L"Certyfikat serwera wygasł albo jeszcze nie obowiązuje.";
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
        case static_cast<DWORD>(CERT_E_CHAINING):
        case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
            return L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.";
        case static_cast<DWORD>(CERT_E_WRONG_USAGE):
            return L"Certyfikat serwera nie jest przeznaczony do uwierzytelniania serwerów.";
        case static_cast<DWORD>(CERT_E_REVOKED):
            return L"Certyfikat serwera został unieważniony.";
        default: break;
    }
    if (trustStatus & CERT_TRUST_IS_NOT_TIME_VALID) return L"Certyfikat serwera wygasł albo jeszcze nie obowiązuje.";
    if (trustStatus & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_NOT_SIGNATURE_VALID))
        return L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.";
    if (trustStatus & CERT_TRUST_IS_NOT_VALID_FOR_USAGE)
        return L"Certyfikat serwera nie jest przeznaczony do uwierzytelniania serwerów.";
    if (trustStatus & CERT_TRUST_IS_REVOKED) return L"Certyfikat serwera został unieważniony.";
    return L"Certyfikat serwera jest nieprawidłowy" + HexCode(policyError ? policyError : trustStatus) + L".";
}

}  // namespace

void RestrictNetToLoopback(bool on) { gLoopbackOnly = on; }

struct Connection::TlsHandles {
    CredHandle credentials{};
    CtxtHandle context{};
    SecPkgContext_StreamSizes sizes{};
};

Connection::Connection(HANDLE abortEvent) : abortEvent_(abortEvent), socketEvent_(WSACreateEvent()) {}

Connection::~Connection() {
    Close();
    if (socketEvent_ != WSA_INVALID_EVENT) WSACloseEvent(socketEvent_);
}

NetError Connection::Fail(NetError e, std::wstring detail) {
    detail_ = std::move(detail);
    return e;
}

void Connection::FreeTls() {
    if (handles_) {
        if (haveContext_) DeleteSecurityContext(&handles_->context);
        if (haveCredentials_) FreeCredentialsHandle(&handles_->credentials);
        delete handles_;
        handles_ = nullptr;
    }
    haveContext_ = haveCredentials_ = false;
    tls_ = false;
    tlsIn_.clear();
    plain_.clear();
    peerClosed_ = false;
}

void Connection::Close() {
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    FreeTls();
}

Connection::WaitResult Connection::Wait(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    if (WaitForSingleObject(abortEvent_, 0) == WAIT_OBJECT_0) return WaitResult::Aborted;
    if (now >= deadline) return WaitResult::Timeout;
    const HANDLE handles[2] = {socketEvent_, abortEvent_};
    const DWORD ms = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 0x7FFFFFFF));
    switch (WaitForMultipleObjects(2, handles, FALSE, ms)) {
        case WAIT_OBJECT_0: return WaitResult::Ready;
        case WAIT_OBJECT_0 + 1: return WaitResult::Aborted;
        case WAIT_TIMEOUT: return WaitResult::Timeout;
        default: return WaitResult::Failed;
    }
}

NetError Connection::ConnectAddress(const void* addr, int addrLen, ULONGLONG deadline) {
    const auto* sa = static_cast<const sockaddr*>(addr);
    socket_ = socket(sa->sa_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) return Fail(NetError::System, L"Nie udało się utworzyć gniazda" + Code(WSAGetLastError()) + L".");
    WSAResetEvent(socketEvent_);
    if (WSAEventSelect(socket_, socketEvent_, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        Close();
        return Fail(NetError::System, L"Nie udało się przygotować gniazda" + Code(WSAGetLastError()) + L".");
    }
    if (connect(socket_, sa, addrLen) == 0) return NetError::None;
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        const int code = WSAGetLastError();
        Close();
        return Fail(NetError::ConnectFailed, L"Serwer nie przyjął połączenia" + Code(code) + L".");
    }
    for (;;) {
        switch (Wait(deadline)) {
            case WaitResult::Aborted: Close(); return NetError::Aborted;
            case WaitResult::Timeout: Close(); return Fail(NetError::ConnectTimeout, {});
            case WaitResult::Failed: Close(); return Fail(NetError::System, {});
            case WaitResult::Ready: break;
        }
        WSANETWORKEVENTS ne{};
        if (WSAEnumNetworkEvents(socket_, socketEvent_, &ne) != 0) {
            Close();
            return Fail(NetError::System, L"Błąd gniazda" + Code(WSAGetLastError()) + L".");
        }
        if (ne.lNetworkEvents & FD_CONNECT) {
            const int code = ne.iErrorCode[FD_CONNECT_BIT];
            if (code == 0) {
                // Data that came with the connection is read by the first
                // Receive: it asks the socket before it waits.
                return NetError::None;
            }
            Close();
            return Fail(NetError::ConnectFailed, L"Serwer nie przyjął połączenia" + Code(code) + L".");
        }
    }
}

NetError Connection::Open(const std::wstring& host, int port, bool tls, int timeoutMs) {
    Close();
    detail_.clear();
    if (!StartWinsock() || socketEvent_ == WSA_INVALID_EVENT) return Fail(NetError::System, {});
    if (WaitForSingleObject(abortEvent_, 0) == WAIT_OBJECT_0) return NetError::Aborted;
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* list = nullptr;
    const std::wstring service = std::to_wstring(port);
    if (GetAddrInfoW(host.c_str(), service.c_str(), &hints, &list) != 0 || !list)
        return Fail(NetError::HostNotFound, L"Nie znaleziono serwera " + host + L".");
    if (WaitForSingleObject(abortEvent_, 0) == WAIT_OBJECT_0) {
        FreeAddrInfoW(list);
        return NetError::Aborted;
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    NetError result = NetError::ConnectFailed;
    for (ADDRINFOW* ai = list; ai; ai = ai->ai_next) {
        if (gLoopbackOnly && !IsLoopback(ai->ai_addr)) {
            result = Fail(NetError::HostNotAllowed, L"Adres serwera " + host + L" leży poza dozwolonymi.");
            continue;
        }
        result = ConnectAddress(ai->ai_addr, static_cast<int>(ai->ai_addrlen), deadline);
        if (result == NetError::None || result == NetError::Aborted || result == NetError::ConnectTimeout) break;
    }
    FreeAddrInfoW(list);
    if (result != NetError::None) return result;
    host_ = host;
    if (tls) return Handshake(host, GetTickCount64() + static_cast<ULONGLONG>(timeoutMs));
    return NetError::None;
}

NetError Connection::RawSend(std::string_view bytes, ULONGLONG deadline) {
    while (!bytes.empty()) {
        const int n = send(socket_, bytes.data(), static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20)), 0);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            return Fail(NetError::ConnectionLost, L"Nie udało się wysłać danych" + Code(code) + L".");
        switch (Wait(deadline)) {
            case WaitResult::Aborted: return NetError::Aborted;
            case WaitResult::Timeout: return Fail(NetError::IdleTimeout, {});
            case WaitResult::Failed: return Fail(NetError::System, {});
            case WaitResult::Ready: break;
        }
        WSANETWORKEVENTS ne{};
        WSAEnumNetworkEvents(socket_, socketEvent_, &ne);
    }
    return NetError::None;
}

NetError Connection::RawReceive(std::string& out, bool& closed, ULONGLONG deadline) {
    char buf[16384];
    for (;;) {
        const int n = recv(socket_, buf, sizeof buf, 0);
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            return NetError::None;
        }
        if (n == 0) {
            closed = true;
            return NetError::None;
        }
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            return Fail(NetError::ConnectionLost, L"Połączenie zostało zerwane" + Code(code) + L".");
        switch (Wait(deadline)) {
            case WaitResult::Aborted: return NetError::Aborted;
            case WaitResult::Timeout: return Fail(NetError::IdleTimeout, {});
            case WaitResult::Failed: return Fail(NetError::System, {});
            case WaitResult::Ready: break;
        }
        WSANETWORKEVENTS ne{};
        WSAEnumNetworkEvents(socket_, socketEvent_, &ne);
    }
}

NetError Connection::Handshake(const std::wstring& host, ULONGLONG deadline) {
    tls_ = true;
    handles_ = new TlsHandles;
    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    // The certificate is checked below, by the system's chain engine and SSL
    // policy, so that the rules are the same on every system; no client
    // certificate is offered.
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    TimeStamp expiry;
    SECURITY_STATUS ss = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                   nullptr, &cred, nullptr, nullptr, &handles_->credentials, &expiry);
    if (ss != SEC_E_OK) return Fail(NetError::SecureChannel, L"Usługa TLS systemu jest niedostępna" + HexCode(ss) + L".");
    haveCredentials_ = true;
    tlsIn_.clear();
    const NetError e = DecryptWaiting(host, deadline);
    if (e != NetError::None) return e;
    if (QueryContextAttributesW(&handles_->context, SECPKG_ATTR_STREAM_SIZES, &handles_->sizes) != SEC_E_OK)
        return Fail(NetError::SecureChannel, {});
    return CheckCertificate(host);
}

// The handshake loop: runs the client side of the TLS handshake on the bytes
// in tlsIn_ (none at the start), receiving more as it needs them. Also used
// when the server starts a new handshake inside the connection.
NetError Connection::DecryptWaiting(const std::wstring& host, ULONGLONG deadline) {
    const DWORD want = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                       ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
    for (int round = 0; round < 64; ++round) {
        SecBuffer in[2] = {{static_cast<unsigned long>(tlsIn_.size()), SECBUFFER_TOKEN, tlsIn_.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
        DWORD got = 0;
        const bool first = !haveContext_;
        const SECURITY_STATUS ss = InitializeSecurityContextW(
            &handles_->credentials, first ? nullptr : &handles_->context, const_cast<wchar_t*>(host.c_str()), want, 0, 0,
            first ? nullptr : &inDesc, 0, &handles_->context, &outDesc, &got, nullptr);
        if (first && (ss == SEC_E_OK || ss == SEC_I_CONTINUE_NEEDED || ss == SEC_E_INCOMPLETE_MESSAGE)) haveContext_ = true;
        if (out.pvBuffer) {
            const std::string token(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
            FreeContextBuffer(out.pvBuffer);
            if (!token.empty()) {
                const NetError e = RawSend(token, deadline);
                if (e != NetError::None) return e;
            }
        }
        if (ss == SEC_E_OK || ss == SEC_I_CONTINUE_NEEDED) {
            if (!first && in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0)
                tlsIn_ = tlsIn_.substr(tlsIn_.size() - in[1].cbBuffer);
            else if (!first)
                tlsIn_.clear();
            if (ss == SEC_E_OK) return NetError::None;
            if (!tlsIn_.empty()) continue;
        } else if (ss == SEC_I_INCOMPLETE_CREDENTIALS) {
            // The server asks for a client certificate; go on without one.
            continue;
        } else if (ss != SEC_E_INCOMPLETE_MESSAGE) {
            return Fail(NetError::SecureChannel, L"Uzgadnianie połączenia szyfrowanego nie powiodło się" + HexCode(ss) + L".");
        }
        bool closed = false;
        const NetError e = RawReceive(tlsIn_, closed, deadline);
        if (e == NetError::IdleTimeout) return Fail(NetError::ConnectTimeout, {});
        if (e != NetError::None) return e;
        if (closed) return Fail(NetError::SecureChannel, L"Serwer zamknął połączenie w trakcie uzgadniania szyfrowania.");
    }
    return Fail(NetError::SecureChannel, L"Uzgadnianie połączenia szyfrowanego nie kończy się.");
}

NetError Connection::CheckCertificate(const std::wstring& host) {
    PCCERT_CONTEXT cert = nullptr;
    if (QueryContextAttributesW(&handles_->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK || !cert)
        return Fail(NetError::Certificate, L"Serwer nie przedstawił certyfikatu.");
    LPSTR usage = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = &usage;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    const BOOL built = CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain);
    CertFreeCertificateContext(cert);
    if (!built || !chain) return Fail(NetError::Certificate, CertificateProblem(0, CERT_TRUST_IS_PARTIAL_CHAIN, host));

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = 0;  // nothing ignored
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    const BOOL checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
    const DWORD trust = chain->TrustStatus.dwErrorStatus;
    CertFreeCertificateChain(chain);
    if (!checked || status.dwError != 0 || trust != CERT_TRUST_NO_ERROR)
        return Fail(NetError::Certificate, CertificateProblem(checked ? status.dwError : 0, trust, host));
    return NetError::None;
}

NetError Connection::Send(std::string_view bytes, int timeoutMs) {
    if (socket_ == INVALID_SOCKET) return Fail(NetError::ConnectionLost, {});
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    if (!tls_) return RawSend(bytes, deadline);
    const SecPkgContext_StreamSizes& sz = handles_->sizes;
    std::vector<char> record;
    while (!bytes.empty()) {
        const size_t n = std::min<size_t>(bytes.size(), sz.cbMaximumMessage);
        record.assign(sz.cbHeader + n + sz.cbTrailer, 0);
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), record.begin() + sz.cbHeader);
        SecBuffer b[4] = {{sz.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                          {static_cast<unsigned long>(n), SECBUFFER_DATA, record.data() + sz.cbHeader},
                          {sz.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sz.cbHeader + n},
                          {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, b};
        const SECURITY_STATUS ss = EncryptMessage(&handles_->context, 0, &desc, 0);
        if (ss != SEC_E_OK) return Fail(NetError::SecureChannel, L"Nie udało się zaszyfrować danych" + HexCode(ss) + L".");
        const NetError e = RawSend(std::string_view(record.data(), b[0].cbBuffer + b[1].cbBuffer + b[2].cbBuffer), deadline);
        if (e != NetError::None) return e;
        bytes.remove_prefix(n);
    }
    return NetError::None;
}

NetError Connection::Receive(std::string& out, bool& closed, int timeoutMs) {
    closed = false;
    if (socket_ == INVALID_SOCKET) return Fail(NetError::ConnectionLost, {});
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    if (!tls_) return RawReceive(out, closed, deadline);
    for (;;) {
        // Decrypt the whole records that are here.
        while (!tlsIn_.empty() && !peerClosed_) {
            SecBuffer b[4] = {{static_cast<unsigned long>(tlsIn_.size()), SECBUFFER_DATA, tlsIn_.data()},
                              {0, SECBUFFER_EMPTY, nullptr},
                              {0, SECBUFFER_EMPTY, nullptr},
                              {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, b};
            const SECURITY_STATUS ss = DecryptMessage(&handles_->context, &desc, 0, nullptr);
            if (ss == SEC_E_INCOMPLETE_MESSAGE) break;
            if (ss == SEC_I_CONTEXT_EXPIRED) {
                // The server's close_notify: a clean end.
                peerClosed_ = true;
                tlsIn_.clear();
                break;
            }
            if (ss != SEC_E_OK && ss != SEC_I_RENEGOTIATE)
                return Fail(NetError::SecureChannel, L"Nie udało się odszyfrować danych" + HexCode(ss) + L".");
            std::string extra;
            for (const SecBuffer& x : b) {
                if (x.BufferType == SECBUFFER_DATA && x.pvBuffer) plain_.append(static_cast<const char*>(x.pvBuffer), x.cbBuffer);
                if (x.BufferType == SECBUFFER_EXTRA && x.pvBuffer) extra.assign(static_cast<const char*>(x.pvBuffer), x.cbBuffer);
            }
            tlsIn_ = std::move(extra);
            if (ss == SEC_I_RENEGOTIATE) {
                // New handshake messages from the server (TLS 1.3 session
                // tickets, or a renegotiation): run them through the
                // handshake, then check the certificate again.
                const NetError e = DecryptWaiting(host_, deadline);
                if (e != NetError::None) return e;
                const NetError c = CheckCertificate(host_);
                if (c != NetError::None) return c;
            }
        }
        if (!plain_.empty()) {
            out += plain_;
            plain_.clear();
            return NetError::None;
        }
        if (peerClosed_) {
            closed = true;
            return NetError::None;
        }
        bool rawClosed = false;
        const NetError e = RawReceive(tlsIn_, rawClosed, deadline);
        if (e != NetError::None) return e;
        if (rawClosed) {
            // Closed without close_notify: whatever framing the protocol
            // above has decides whether anything is missing.
            peerClosed_ = true;
            closed = true;
            return NetError::None;
        }
    }
}

std::string Connection::LocalAddressLiteral() const {
    sockaddr_storage ss{};
    int len = sizeof ss;
    char text[64] = {};
    if (socket_ == INVALID_SOCKET || getsockname(socket_, reinterpret_cast<sockaddr*>(&ss), &len) != 0)
        return "[127.0.0.1]";
    if (ss.ss_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&ss)->sin6_addr, text, sizeof text);
        return std::string("[IPv6:") + text + "]";
    }
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&ss)->sin_addr, text, sizeof text);
    return std::string("[") + text + "]";
}
