#pragma once
// What the Windows tests of the network clients share: running the message
// loop for a bounded time, and recording the events of an HTTP client.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "net/win/httpclient.h"

// Runs messages until done() or ms have passed; true when done.
inline bool RunMessagesUntil(const std::function<bool()>& done, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

inline std::wstring W(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct HttpEvents {
    std::vector<std::wstring> commands;
    std::vector<std::wstring> headers;
    std::string data;
    int blocks = 0;
    std::vector<std::int64_t> announced;
    int done = 0;
    HttpResult result;

    void Attach(HttpClient& c) {
        c.OnCommand = [this](const std::wstring& l) { commands.push_back(l); };
        c.OnHeaderData = [this](const std::wstring& l) { headers.push_back(l); };
        c.OnDocData = [this](std::string_view b, std::int64_t a) {
            data.append(b);
            ++blocks;
            announced.push_back(a);
        };
        c.OnRequestDone = [this](const HttpResult& r) {
            ++done;
            result = r;
        };
    }
};

// A GET run to its end (at most 20 s).
inline HttpResult GetAndWait(HttpClient& client, HttpEvents& events, const std::wstring& url) {
    if (!client.GetAsync(url)) return client.LastResult();
    RunMessagesUntil([&] { return events.done > 0; }, 20000);
    return events.result;
}
