#pragma once
// Helpers for tests of the program's own dialogs in this process: act on a
// modal window while it waits for the user, and the real windows with the
// script's clock.
#include <functional>

#include "app/win/windows_responder.h"
#include "support/scripted_responder.h"
#include "ui/win/application.h"
#include "ui/win/form.h"
#include "ui/win/timer.h"

// Runs the action once, from the message loop of the modal window it waits
// for: the first modal form of type T that is shown and meets the condition.
template <typename T>
class WhenShown {
public:
    explicit WhenShown(std::function<void(T&)> action, std::function<bool(T&)> condition = nullptr)
        : action_(std::move(action)), condition_(std::move(condition)) {
        timer_.OnTimer = [this] { Poll(); };
        timer_.SetEnabled(true);
    }
    bool ran = false;

private:
    void Poll() {
        for (Form* form : App().Forms()) {
            auto* t = dynamic_cast<T*>(form);
            if (!t || !t->IsModal() || !t->Visible() || (condition_ && !condition_(*t))) continue;
            timer_.SetEnabled(false);
            ran = true;
            action_(*t);
            return;
        }
    }
    std::function<void(T&)> action_;
    std::function<bool(T&)> condition_;
    Timer timer_{30, false};
};

// The program's windows answer every interaction; the clock is the script's.
class RealWindows : public ScriptedResponder {
public:
    int ShowMessage(const MessageRequest& r) override { return WindowsResponder().ShowMessage(r); }
    std::optional<std::wstring> InputText(const std::wstring& caption, const std::wstring& prompt,
                                          const std::wstring& initial) override {
        return WindowsResponder().InputText(caption, prompt, initial);
    }
    bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                         const std::vector<std::wstring>& lines) override {
        return WindowsResponder().ShowMessageList(caption, title, lines);
    }
    int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                     int defaultIndex) override {
        return WindowsResponder().PickFromList(items, caption, title, defaultIndex);
    }
};
