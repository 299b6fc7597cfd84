#pragma once
// The HTTP client of the automatic update: an asynchronous GET of one address
// into memory and a synchronous HEAD, both over plain HTTP or HTTPS, with no
// proxy, and abort. Events reach the GUI thread through its message loop:
//   OnCommand     every line of a request head as it is sent;
//   OnHeaderData  the status line and every header line of a response;
//   OnDocData     every block of the body with the announced length (-1 when
//                 the server announced none);
//   OnRequestDone the end of an asynchronous GET, with its result.
// Only a 200 answer is a success. Redirects (301, 302, 303, 307, 308) are
// followed, at most MaxRedirects of them, never from https:// to http://. A
// body is accepted only whole: a Content-Length reached, a chunked body with
// its last chunk; anything cut short is NetError::Truncated and leaves no
// body behind. Connect and idle timeouts bound every wait.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/httpmessage.h"
#include "net/neterror.h"
#include "net/win/networker.h"

struct HttpResult {
    NetError error = NetError::None;
    int status = 0;                 // of the last response (0 when none came)
    std::wstring reason;            // its reason phrase
    std::wstring detail;            // more about a failure, in Polish
    std::int64_t announced = -1;    // the announced body length
    std::int64_t received = 0;      // body bytes received
    std::wstring url;               // the address last asked

    bool Ok() const { return error == NetError::None; }
    // "NetErrorText. detail", with the status for NetError::HttpStatus.
    std::wstring Message() const;
};

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpIdentity identity;
    int connectTimeoutMs = 30000;
    int idleTimeoutMs = 60000;
    int maxRedirects = 5;
    std::int64_t maxBody = std::int64_t{512} << 20;

    std::function<void(const std::wstring& line)> OnCommand;
    std::function<void(const std::wstring& line)> OnHeaderData;
    std::function<void(std::string_view block, std::int64_t announced)> OnDocData;
    std::function<void(const HttpResult& result)> OnRequestDone;

    // Starts a GET and returns at once; false (LastResult() says why) when
    // the address is unusable or a request still runs.
    bool GetAsync(const std::wstring& url);
    // A HEAD that returns when it is over, the messages running meanwhile.
    // An Abort from an event handler ends it with NetError::Aborted (status
    // and reason stay those of the response, when one came).
    HttpResult Head(const std::wstring& url);
    // Stops the running request; no event of it follows.
    void Abort();
    bool Busy() const { return worker_.Running(); }

    // The body of the last successful GET (empty after any failure).
    const std::string& Body() const { return body_; }
    std::string TakeBody() { return std::move(body_); }
    const HttpResult& LastResult() const { return result_; }

private:
    struct Settings {
        std::string method;
        HttpIdentity identity;
        int connectTimeoutMs;
        int idleTimeoutMs;
        int maxRedirects;
        std::int64_t maxBody;
    };
    bool Start(const std::string& method, const std::wstring& url);
    // The exchange, on the worker thread; it touches the client only in
    // what it delivers to the GUI thread.
    HttpResult Exchange(NetWorker::Context& ctx, const Settings& s, Url url, std::string& body);

    NetWorker worker_;
    HttpResult result_;
    std::string body_;
};
