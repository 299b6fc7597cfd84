#include "net/win/networker.h"

#include <process.h>

#include <atomic>
#include <deque>
#include <mutex>

struct NetWorker::Context::State {
    std::mutex mutex;
    std::deque<std::function<void()>> queue;  // guarded by mutex
    bool posted = false;                       // a drain message is on its way (mutex)

    std::atomic<bool> abort{false};
    std::atomic<bool> finished{false};  // Finish was called
    HANDLE abortEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;

    // GUI thread only.
    bool running = false;
    bool orphaned = false;  // the NetWorker is gone
    bool waiting = false;   // WaitPumping is on the stack
    std::exception_ptr failure;

    ~State() {
        if (abortEvent) CloseHandle(abortEvent);
        if (thread) CloseHandle(thread);
    }
};

namespace {

using State = NetWorker::Context::State;

constexpr UINT kDrainMessage = WM_APP + 0x4E45;

NetHooks& Hooks() {
    static NetHooks hooks;
    return hooks;
}

void DefaultPump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The loop that waits for the end of the program shall see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Drain(State& s) {
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            if (s.queue.empty()) {
                s.posted = false;
                return;
            }
            fn = std::move(s.queue.front());
            s.queue.pop_front();
        }
        if (s.abort || s.orphaned) continue;
        try {
            fn();
        } catch (...) {
            if (s.waiting) {
                // The synchronous caller gets it; the exchange ends.
                s.failure = std::current_exception();
                s.abort = true;
                SetEvent(s.abortEvent);
                s.running = false;
            } else if (Hooks().failure) {
                Hooks().failure(std::current_exception());
            } else {
                OutputDebugStringW(L"Archiwin: a network event handler failed\n");
            }
        }
    }
}

LRESULT CALLBACK DrainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kDrainMessage) {
        std::unique_ptr<std::shared_ptr<State>> s(reinterpret_cast<std::shared_ptr<State>*>(lp));
        Drain(**s);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The message-only window of the GUI thread (the thread that made the first
// worker object).
HWND DrainWindow() {
    static HWND hwnd = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DrainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ArchiwinNet";
        RegisterClassW(&wc);
        return CreateWindowW(L"ArchiwinNet", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return hwnd;
}

// One drain message at a time carries a state's queue; the message holds the
// state alive until it is handled.
void Post(const std::shared_ptr<State>& s) {
    auto* ref = new std::shared_ptr<State>(s);
    if (!PostMessageW(DrainWindow(), kDrainMessage, 0, reinterpret_cast<LPARAM>(ref))) {
        delete ref;
        std::lock_guard<std::mutex> lock(s->mutex);
        s->posted = false;
    }
}

struct ThreadStart {
    std::shared_ptr<State> state;
    NetWorker::Body body;
};

}  // namespace

void SetNetHooks(NetHooks hooks) { Hooks() = std::move(hooks); }

HANDLE NetWorker::Context::AbortEvent() const { return state_->abortEvent; }
bool NetWorker::Context::AbortRequested() const { return state_->abort; }

void NetWorker::Context::Deliver(std::function<void()> fn) {
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->abort) return;
        state_->queue.push_back(std::move(fn));
        post = !state_->posted;
        state_->posted = true;
    }
    if (post) Post(state_);
}

void NetWorker::Context::Finish(std::function<void()> fn) {
    state_->finished = true;
    State* s = state_.get();
    Deliver([s, fn = std::move(fn)] {
        s->running = false;
        fn();
    });
}

NetWorker::NetWorker() { DrainWindow(); }

NetWorker::~NetWorker() {
    if (!state_) return;
    state_->orphaned = true;
    Abort();
    // A thread wakes at once from every wait but a name lookup; it is not
    // waited for longer than that may take on a bad day.
    if (state_->thread) WaitForSingleObject(state_->thread, 2000);
}

unsigned __stdcall NetWorker::ThreadMain(void* arg) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(arg));
    Context ctx(start->state);
    try {
        start->body(ctx);
    } catch (...) {
        // The bodies report their failures as results; nothing is thrown on
        // purpose, and a thread must not let anything out.
    }
    if (!start->state->finished) {
        State* s = start->state.get();
        ctx.Deliver([s] { s->running = false; });
    }
    return 0;
}

bool NetWorker::Start(Body body) {
    if (Running()) return false;
    auto state = std::make_shared<State>();
    if (!state->abortEvent) return false;
    auto* start = new ThreadStart{state, std::move(body)};
    state->running = true;
    const uintptr_t h = _beginthreadex(nullptr, 0, &NetWorker::ThreadMain, start, 0, nullptr);
    if (!h) {
        delete start;
        return false;
    }
    state->thread = reinterpret_cast<HANDLE>(h);
    if (state_) state_->orphaned = true;
    state_ = std::move(state);
    return true;
}

void NetWorker::Abort() {
    if (!state_) return;
    state_->abort = true;
    SetEvent(state_->abortEvent);
    state_->running = false;
}

bool NetWorker::Running() const { return state_ && state_->running; }

bool NetWorker::WaitPumping() {
    const std::shared_ptr<State> s = state_;
    if (!s) return true;
    s->waiting = true;
    while (s->running && !s->abort && !s->orphaned) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (Hooks().pump) Hooks().pump();
        else DefaultPump();
    }
    s->waiting = false;
    if (s->failure) {
        std::exception_ptr f = s->failure;
        s->failure = nullptr;
        std::rethrow_exception(f);
    }
    return !s->orphaned;
}
