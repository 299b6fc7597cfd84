#pragma once
// Runs one network exchange on a worker thread of its own and hands what it
// reports to the GUI thread, through a message-only window, in the order it
// was reported. The exchange itself is plain sequential code (connect, send,
// wait for a reply) whose every wait ends on its timeout or at once on Abort;
// the program's windows never wait for the network: an asynchronous request
// returns at once, a synchronous one runs the message loop while it waits.
//
// After Abort() nothing more of that exchange reaches the GUI thread, and
// nothing at all after the worker object is destroyed: event handlers may
// abort or destroy their client.
#include <exception>
#include <functional>
#include <memory>

#include <windows.h>

// How synchronous operations keep the program alive while they wait, and where
// a failure thrown by an event handler of an asynchronous exchange goes. The
// program installs its own message pump (with its keyboard handling) and its
// exception handler; without them a plain message loop runs and such failures
// are dropped after a note to the debugger.
struct NetHooks {
    std::function<void()> pump;
    std::function<void(std::exception_ptr)> failure;
};
void SetNetHooks(NetHooks hooks);

class NetWorker {
public:
    class Context;
    using Body = std::function<void(Context&)>;

    NetWorker();
    // Aborts a running exchange and lets its thread end on its own.
    ~NetWorker();
    NetWorker(const NetWorker&) = delete;
    NetWorker& operator=(const NetWorker&) = delete;

    // Starts body on a worker thread; false when an exchange still runs or no
    // thread could be made.
    bool Start(Body body);
    // Ends the running exchange: its waits return at once and nothing more of
    // it is delivered. Harmless when nothing runs.
    void Abort();
    // True from Start until the exchange's last delivery ran on the GUI
    // thread, or until Abort.
    bool Running() const;
    // Runs the message loop until the exchange ended (or was aborted). A
    // failure thrown by a handler of this exchange during the wait aborts it
    // and is thrown on from here. False when the worker object was destroyed
    // meanwhile (the caller must not touch it then).
    bool WaitPumping();

    // The worker's side.
    class Context {
    public:
        // Signalled on Abort; the exchange's waits include it.
        HANDLE AbortEvent() const;
        bool AbortRequested() const;
        // Runs fn on the GUI thread, after what was delivered before, unless
        // the exchange was aborted by then.
        void Deliver(std::function<void()> fn);
        // The exchange's last delivery: the worker object is no longer
        // Running() when fn runs, so that fn may start the next exchange.
        void Finish(std::function<void()> fn);

        struct State;  // shared by the worker object, its thread and its deliveries

    private:
        friend class NetWorker;
        explicit Context(std::shared_ptr<State> s) : state_(std::move(s)) {}
        std::shared_ptr<State> state_;
    };

private:
    static unsigned __stdcall ThreadMain(void* start);
    // The current exchange; each Start makes a new one, so that a thread that
    // outlives its abort can never deliver into the next exchange.
    std::shared_ptr<Context::State> state_;
};
