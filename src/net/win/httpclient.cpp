#include "net/win/httpclient.h"

#include "net/win/connection.h"
#include "util/cp1250.h"

namespace {

std::wstring Wide(std::string_view bytes) {
    // Header lines are ASCII; anything else is shown as UTF-8 if it is, else
    // as Windows-1250, which servers of Polish sites used to send.
    std::wstring w = Utf8ToWide(bytes);
    if (w.find(L'\uFFFD') != std::wstring::npos) w = Cp1250ToWide(bytes);
    return w;
}

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

}  // namespace

// Delivered functions run on the GUI thread, and only while the client lives.
HttpResult HttpClient::Exchange(NetWorker::Context& ctx, const Settings& s, Url url, std::string& body) {
    HttpClient* client = this;
    HttpResult r;
    Connection conn(ctx.AbortEvent());
    for (int redirects = 0;; ++redirects) {
        r = HttpResult();
        r.url = url.Text();
        NetError e = conn.Open(url.host, url.port, url.Secure(), s.connectTimeoutMs);
        if (e != NetError::None) {
            r.error = e;
            r.detail = conn.Detail();
            return r;
        }
        std::string head;
        for (const std::string& line : RequestHead(s.method, url, s.identity)) {
            head += line + "\r\n";
            ctx.Deliver([client, w = Wide(line)] {
                if (client->OnCommand) client->OnCommand(w);
            });
        }
        head += "\r\n";
        e = conn.Send(head, s.idleTimeoutMs);
        if (e != NetError::None) {
            r.error = e;
            r.detail = conn.Detail();
            return r;
        }

        HttpResponseParser parser(s.method == "HEAD");
        bool tooLarge = false;
        parser.OnHeadLine = [&](std::string_view line) {
            const bool statusLine = r.status == 0;
            if (statusLine) {
                r.status = parser.Status();
                r.reason = Wide(parser.Reason());
            }
            ctx.Deliver([client, w = Wide(line), statusLine, status = r.status, reason = r.reason] {
                if (statusLine) {
                    // Known on the GUI side at once, for a HEAD that a
                    // handler aborts.
                    client->result_.status = status;
                    client->result_.reason = reason;
                }
                if (client->OnHeaderData) client->OnHeaderData(w);
            });
        };
        parser.OnBody = [&](std::string_view block) {
            if (parser.Status() != 200 || tooLarge) return;
            if (static_cast<std::int64_t>(body.size() + block.size()) > s.maxBody) {
                tooLarge = true;
                return;
            }
            body.append(block);
            ctx.Deliver([client, data = std::string(block), announced = parser.ContentLength()] {
                if (client->OnDocData) client->OnDocData(data, announced);
            });
        };

        // Read until the head is complete, then on for a 200 body.
        bool closed = false;
        while (!parser.Complete() && !closed) {
            std::string in;
            e = conn.Receive(in, closed, s.idleTimeoutMs);
            if (e != NetError::None) {
                r.error = (e == NetError::ConnectionLost && parser.HeadComplete()) ? NetError::Truncated : e;
                r.detail = conn.Detail();
                r.received = parser.BodyReceived();
                body.clear();
                return r;
            }
            if (!parser.Feed(in)) {
                r.error = NetError::BadResponse;
                body.clear();
                return r;
            }
            if (parser.HeadComplete()) {
                r.announced = parser.ContentLength();
                if (parser.Status() != 200) break;  // its body is of no use
                if (tooLarge || r.announced > s.maxBody) {
                    r.error = NetError::TooLarge;
                    body.clear();
                    return r;
                }
            }
            if (closed && !parser.Close()) {
                r.error = parser.HeadComplete() ? NetError::Truncated
                          : parser.Started()    ? NetError::BadResponse
                                                : NetError::ConnectionLost;
                if (!parser.Started()) r.detail = L"Serwer zamknął połączenie, nie wysyłając odpowiedzi.";
                r.received = parser.BodyReceived();
                body.clear();
                return r;
            }
        }
        conn.Close();
        r.received = parser.BodyReceived();

        const int status = parser.Status();
        if (status == 200) return r;
        body.clear();
        const std::optional<std::string> location = parser.Header("location");
        if (!IsRedirect(status) || !location) {
            r.error = NetError::HttpStatus;
            return r;
        }
        if (redirects >= s.maxRedirects) {
            r.error = NetError::TooManyRedirects;
            return r;
        }
        const std::optional<Url> next = ResolveLocation(url, Wide(*location));
        if (!next) {
            r.error = NetError::BadResponse;
            r.detail = L"Serwer przekierował pod nieprawidłowy adres.";
            return r;
        }
        if (url.Secure() && !next->Secure()) {
            r.error = NetError::InsecureRedirect;
            r.detail = L"Adres przekierowania: " + next->Text();
            return r;
        }
        url = *next;
    }
}

std::wstring HttpResult::Message() const {
    std::wstring text = NetErrorText(error);
    if (error == NetError::HttpStatus) {
        text += L" Odpowiedź serwera: " + std::to_wstring(status);
        if (!reason.empty()) text += L" " + reason;
        text += L".";
    }
    if (!detail.empty()) text += L" " + detail;
    return text;
}

HttpClient::HttpClient() = default;
HttpClient::~HttpClient() = default;

bool HttpClient::Start(const std::string& method, const std::wstring& text) {
    if (worker_.Running()) {
        result_ = HttpResult();
        result_.error = NetError::Busy;
        return false;
    }
    body_.clear();
    result_ = HttpResult();
    result_.url = text;
    const std::optional<Url> url = ParseUrl(text);
    if (!url) {
        result_.error = NetError::BadAddress;
        result_.detail = L"Adres: " + text;
        return false;
    }
    const Settings s{method, identity, connectTimeoutMs, idleTimeoutMs, maxRedirects, maxBody};
    const bool started = worker_.Start([this, s, u = *url](NetWorker::Context& ctx) {
        std::string body;
        HttpResult r = Exchange(ctx, s, u, body);
        ctx.Finish([this, async = s.method == "GET", r = std::move(r), b = std::move(body)]() mutable {
            result_ = std::move(r);
            body_ = result_.Ok() ? std::move(b) : std::string();
            if (async && OnRequestDone) OnRequestDone(result_);
        });
    });
    if (!started) {
        result_.error = NetError::System;
        return false;
    }
    return true;
}

bool HttpClient::GetAsync(const std::wstring& url) { return Start("GET", url); }

HttpResult HttpClient::Head(const std::wstring& url) {
    if (!Start("HEAD", url)) return result_;
    if (!worker_.WaitPumping()) {
        HttpResult gone;
        gone.error = NetError::Aborted;
        return gone;
    }
    return result_;
}

void HttpClient::Abort() {
    if (!worker_.Running()) return;
    worker_.Abort();
    body_.clear();
    result_.error = NetError::Aborted;
}
