#include "loopback_servers.h"

#include "net/iso88592.h"

#include <ws2tcpip.h>
#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

void StartWinsock() {
    static const bool started = [] {
        WSADATA d;
        return WSAStartup(MAKEWORD(2, 2), &d) == 0;
    }();
    (void)started;
}

SOCKET ListenLoopback(int backlog, int& port) {
    StartWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(s, backlog);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return s;
}

// Waits up to ms for s to be readable; false on timeout.
bool Readable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &tv) == 1;
}

void SendAll(SOCKET s, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Reads one line (CR LF removed) within timeoutMs, the wait cut short by stop.
bool ReadLine(SOCKET s, std::string& pending, std::string& line, const std::atomic<bool>& stop, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t lf = pending.find('\n');
        if (lf != std::string::npos) {
            line = pending.substr(0, lf);
            pending.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (stop || std::chrono::steady_clock::now() > until || pending.size() > 100000) return false;
        if (!Readable(s, 100)) continue;
        char buf[4096];
        const int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) return false;
        pending.append(buf, static_cast<size_t>(n));
    }
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A path of the host as Wine shows it (drive Z: is the host's root).
std::wstring HostPathForWindows(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (char c : unixPath) out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return out;
}

const std::string kSourceDir = NET_TEST_SOURCE_DIR;
const std::string kBinaryDir = NET_TEST_BINARY_DIR;

}  // namespace

std::string HttpResponse(int status, const std::string& reason, const std::vector<std::string>& headers,
                         const std::string& body) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
    bool framed = false;
    for (const std::string& h : headers) {
        out += h + "\r\n";
        if (h.rfind("Content-Length:", 0) == 0 || h.rfind("Transfer-Encoding:", 0) == 0) framed = true;
    }
    if (!framed) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    return out + body;
}

// ---- HTTP ------------------------------------------------------------------

LoopbackHttpServer::LoopbackHttpServer() {
    listener_ = ListenLoopback(16, port_);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    acceptThread_.join();
    closesocket(listener_);
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workers.swap(workers_);
    }
    for (std::thread& t : workers) t.join();
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

void LoopbackHttpServer::Route(const std::string& target, const std::string& raw, int stallAfter) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[target] = Answer{raw, stallAfter};
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::string LoopbackHttpServer::LastRequestFor(const std::string& target) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        const size_t sp = it->find(' ');
        if (it->compare(sp + 1, target.size() + 1, target + " ") == 0) return *it;
    }
    return {};
}

void LoopbackHttpServer::AcceptLoop() {
    while (!stop_) {
        if (!Readable(listener_, 100)) continue;
        SOCKET s = accept(listener_, nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        workers_.emplace_back([this, s] {
            if (silent_) Stall(s);
            else Serve(s);
            closesocket(s);
        });
    }
}

void LoopbackHttpServer::Serve(SOCKET s) {
    std::string head;
    std::string pending;
    std::string line;
    while (ReadLine(s, pending, line, stop_, 5000)) {
        head += line + "\r\n";
        if (line.empty()) break;
    }
    const size_t sp1 = head.find(' ');
    const size_t sp2 = head.find(' ', sp1 + 1);
    const std::string target = sp1 == std::string::npos ? "" : head.substr(sp1 + 1, sp2 - sp1 - 1);
    Answer answer{HttpResponse(404, "Not Found", {"Content-Type: text/html"}, "<html>Nie ma takiego pliku</html>")};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
        const auto it = routes_.find(target);
        if (it != routes_.end()) answer = it->second;
    }
    if (answer.stallAfter >= 0) {
        SendAll(s, answer.raw.substr(0, static_cast<size_t>(answer.stallAfter)));
        Stall(s);
        return;
    }
    SendAll(s, answer.raw);
    shutdown(s, SD_SEND);
    // Let the client read to the end before the socket goes.
    char buf[512];
    for (int i = 0; i < 50 && Readable(s, 100); ++i)
        if (recv(s, buf, sizeof buf, 0) <= 0) break;
}

void LoopbackHttpServer::Stall(SOCKET s) {
    // Silent until the client gives up, the server stops, or 30 seconds pass.
    for (int i = 0; i < 300 && !stop_; ++i) {
        if (!Readable(s, 100)) continue;
        char buf[512];
        if (recv(s, buf, sizeof buf, 0) <= 0) {
            ++clientsGone_;
            return;
        }
    }
}

// ---- a listener that never completes a connection ----------------------------

BlackholeListener::BlackholeListener() {
    listener_ = ListenLoopback(0, port_);
    // Fill the queue: once a connection no longer completes, none will.
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(port_));
    for (int i = 0; i < 16; ++i) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers_.push_back(s);
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv{0, 300000};
        if (select(0, nullptr, &set, nullptr, &tv) != 1) break;
    }
}

BlackholeListener::~BlackholeListener() {
    for (SOCKET s : fillers_) closesocket(s);
    closesocket(listener_);
}

// ---- SMTP ------------------------------------------------------------------

LoopbackSmtpServer::LoopbackSmtpServer(Options options) : options_(options) {
    listener_ = ListenLoopback(4, port_);
    thread_ = std::thread([this] { Run(); });
}

LoopbackSmtpServer::~LoopbackSmtpServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
}

std::vector<std::string> LoopbackSmtpServer::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::vector<std::string> LoopbackSmtpServer::RawData() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return data_;
}

void LoopbackSmtpServer::Run() {
    while (!stop_) {
        if (!Readable(listener_, 100)) continue;
        SOCKET s = accept(listener_, nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        std::string pending;
        std::string line;
        if (!options_.greet) {
            // Say nothing until the client gives up or the server stops.
            ReadLine(s, pending, line, stop_, 30000);
            closesocket(s);
            continue;
        }
        SendAll(s, "220 test.local ESMTP gotowy\r\n");
        while (ReadLine(s, pending, line, stop_, 10000)) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                commands_.push_back(line);
            }
            const std::string verb = line.substr(0, 4);
            if (verb == "EHLO") {
                SendAll(s, options_.knowsEhlo ? "250-test.local\r\n250-8BITMIME\r\n250 SIZE 1000000\r\n"
                                              : "502 5.5.1 Nie znam tego polecenia\r\n");
            } else if (verb == "HELO") {
                SendAll(s, "250 test.local\r\n");
            } else if (verb == "MAIL") {
                SendAll(s, "250 2.1.0 OK\r\n");
            } else if (verb == "RCPT") {
                SendAll(s, std::to_string(options_.rcptCode) + (options_.rcptCode < 400 ? " 2.1.5 OK\r\n" : " 5.1.1 Nie ma takiej skrzynki\r\n"));
            } else if (verb == "DATA") {
                SendAll(s, "354 Koniec wiadomosci: <CRLF>.<CRLF>\r\n");
                std::vector<std::string> data;
                bool complete = false;
                while (ReadLine(s, pending, line, stop_, 10000)) {
                    if (line == ".") {
                        complete = true;
                        break;
                    }
                    data.push_back(line);
                }
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    data_ = data;
                }
                if (!complete) break;
                if (options_.dataDelayMs) Sleep(static_cast<DWORD>(options_.dataDelayMs));
                SendAll(s, "250 2.0.0 Przyjeto\r\n");
                received_ = true;
            } else if (verb == "QUIT") {
                SendAll(s, "221 2.0.0 Do widzenia\r\n");
                break;
            } else {
                SendAll(s, "500 5.5.2 Blad skladni\r\n");
            }
        }
        closesocket(s);
    }
}

// ---- TLS ---------------------------------------------------------------------

namespace {

PCCERT_CONTEXT TestAuthorityCertificate() {
    const std::string pem = ReadFileBytes(HostPathForWindows(kSourceDir + "/certs/ca.pem"));
    BYTE der[8192];
    DWORD len = sizeof der;
    if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der, &len, nullptr, nullptr)) return nullptr;
    return CertCreateCertificateContext(X509_ASN_ENCODING, der, len);
}

}  // namespace

TestAuthority::TestAuthority() {
    PCCERT_CONTEXT ca = TestAuthorityCertificate();
    if (!ca) return;
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (root) {
        installed_ = CertAddCertificateContextToStore(root, ca, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        CertCloseStore(root, 0);
    }
    CertFreeCertificateContext(ca);
}

TlsFront::TlsFront(const std::string& certificate, int targetPort) {
    static int counter = 0;
    const std::string portFile =
        kBinaryDir + "/tls_front_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + ".port";
    const std::wstring portFileWin = HostPathForWindows(portFile);
    DeleteFileW(portFileWin.c_str());
    const std::string cert = kSourceDir + "/certs/" + certificate;
    const std::string args = "\"" + kSourceDir + "/tls_front.py\" \"" + cert + ".pem\" \"" + cert + ".key\" " +
                             std::to_string(targetPort) + " \"" + portFile + "\"";
    std::wstring command = L"Z:\\usr\\bin\\python3 " + std::wstring(args.begin(), args.end());
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    // Wine starts a program of the host as a process of its own, with no
    // handle to it: the control connection below is what ends it.
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);

    std::string ports;
    for (int i = 0; i < 200 && ports.empty(); ++i) {
        Sleep(50);
        ports = ReadFileBytes(portFileWin);
    }
    DeleteFileW(portFileWin.c_str());
    int tlsPort = 0, controlPort = 0;
    if (std::sscanf(ports.c_str(), "%d %d", &tlsPort, &controlPort) != 2) return;

    control_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(controlPort));
    if (connect(control_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return;
    port_ = tlsPort;
}

TlsFront::~TlsFront() {
    if (control_ != INVALID_SOCKET) closesocket(control_);
}

std::wstring TlsFront::Url(const std::string& path) const {
    return L"https://localhost:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

std::vector<std::string> DecodeQuotedPrintable(const std::vector<std::string>& lines) {
    auto hex = [](char c) { return c <= '9' ? c - '0' : (c & ~32) - 'A' + 10; };
    std::vector<std::string> out;
    std::string current;
    for (const std::string& line : lines) {
        const bool soft = !line.empty() && line.back() == '=';
        const std::string body = soft ? line.substr(0, line.size() - 1) : line;
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i] == '=' && i + 2 < body.size()) {
                current.push_back(static_cast<char>(hex(body[i + 1]) * 16 + hex(body[i + 2])));
                i += 2;
            } else {
                current.push_back(body[i]);
            }
        }
        if (!soft) {
            out.push_back(current);
            current.clear();
        }
    }
    if (!current.empty()) out.push_back(current);
    return out;
}

std::wstring DecodeEncodedWords(const std::string& text) {
    auto hex = [](char c) { return c <= '9' ? c - '0' : (c & ~32) - 'A' + 10; };
    std::string bytes;
    size_t i = 0;
    bool lastWasWord = false;
    size_t wordEnd = 0;
    while (i < text.size()) {
        const std::string prefix = "=?iso-8859-2?Q?";
        if (text.compare(i, prefix.size(), prefix) == 0) {
            const size_t end = text.find("?=", i + prefix.size());
            if (end == std::string::npos) break;
            if (lastWasWord) bytes.resize(wordEnd);
            for (size_t k = i + prefix.size(); k < end; ++k) {
                if (text[k] == '_') bytes.push_back(' ');
                else if (text[k] == '=' && k + 2 < end) {
                    bytes.push_back(static_cast<char>(hex(text[k + 1]) * 16 + hex(text[k + 2])));
                    k += 2;
                } else bytes.push_back(text[k]);
            }
            i = end + 2;
            lastWasWord = true;
            wordEnd = bytes.size();
            continue;
        }
        if (text[i] != ' ') lastWasWord = false;
        bytes.push_back(text[i++]);
    }
    return Iso88592ToWide(bytes);
}
