#include "keys.h"

#include "ui/win/application.h"
#include "ui/win/timer.h"

namespace {

void Type(const std::vector<WORD>& chord) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    for (WORD key : chord) add(key, false);
    for (auto it = std::rbegin(chord); it != std::rend(chord); ++it) add(*it, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void TypeKeys(std::initializer_list<WORD> chord) { Type(std::vector<WORD>(chord)); }

void TypeKeys(const std::vector<WORD>& chord) { Type(chord); }

struct KeySteps::State {
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    Timer timer;
    explicit State(unsigned interval) : timer(interval, false) {}
};

KeySteps::KeySteps(unsigned intervalMs) : state_(new State(intervalMs)) {
    state_->timer.OnTimer = [s = state_] {
        if (s->next >= s->steps.size()) {
            s->timer.SetEnabled(false);
            return;
        }
        // Taken first: a step may run a modal loop in which the timer ticks again.
        auto& step = s->steps[s->next++];
        step();
    };
}

KeySteps::~KeySteps() { delete state_; }

KeySteps& KeySteps::Keys(std::initializer_list<WORD> chord) {
    state_->steps.push_back([keys = std::vector<WORD>(chord)] { Type(keys); });
    return *this;
}

KeySteps& KeySteps::Then(std::function<void()> step) {
    state_->steps.push_back(std::move(step));
    return *this;
}

void KeySteps::Start() { state_->timer.SetEnabled(true); }

bool KeySteps::Done() const { return state_->next >= state_->steps.size(); }

bool RunMessagesUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    MSG msg;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (App().PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
