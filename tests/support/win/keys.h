#pragma once
// Keys typed as a user types them: through the system's input queue to the
// window in front and whichever of its controls has the keyboard, so the
// program's own keyboard handling (and nothing else) decides what they do.
// The test's window must be in front (Form::Show brings it there).
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

// Presses the keys in order and releases them in reverse: {VK_SHIFT, VK_TAB}
// is Shift+Tab, {VK_MENU, 'O'} is Alt+O.
void TypeKeys(std::initializer_list<WORD> chord);
void TypeKeys(const std::vector<WORD>& chord);

// Steps run one by one from a timer, so that each finds the previous one's
// keys handled, also while a modal window or a menu runs its own loop.
class KeySteps {
public:
    explicit KeySteps(unsigned intervalMs = 80);
    ~KeySteps();
    KeySteps(const KeySteps&) = delete;
    KeySteps& operator=(const KeySteps&) = delete;

    KeySteps& Keys(std::initializer_list<WORD> chord);
    KeySteps& Then(std::function<void()> step);
    // Starts the steps (from the next tick of the timer).
    void Start();
    bool Done() const;

private:
    struct State;
    State* state_;
};

// Runs the message loop as the program does until done() or the time is up;
// false when the time ran out.
bool RunMessagesUntil(const std::function<bool()>& done, unsigned timeoutMs = 20000);
