#pragma once
// A ModalResponder for tests: answers from a script and records everything
// that would have been shown. Installed for the lifetime of the object.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "interact/seam.h"

struct Shown {
    std::wstring kind;      // "message", "input", "list", "pick", "open", "save", "folder", "shell"
    std::wstring caption;
    std::wstring headline;  // message headline, prompt, list title, dialog title, shell target
    std::wstring body;      // message body, default text, parameters
    MessageRequest message; // the whole request, for "message"
    std::vector<std::wstring> items;
};

class ScriptedResponder : public ModalResponder {
public:
    ScriptedResponder();
    ~ScriptedResponder() override;

    // Answers, taken in order by whatever asks next. A message takes an int
    // (1 or 2), input and file choices a string ("" with cancel = true means
    // cancelled), a pick list an index. When the script is empty, messages
    // take the answer of a dialog nobody answers (1, but 2 for a destructive
    // question) and every other interaction is cancelled.
    ScriptedResponder& Answer(int result);
    ScriptedResponder& Answer(std::wstring text);
    ScriptedResponder& Cancel();
    // The next message is left alone: it takes what its countdown would give.
    ScriptedResponder& Unanswered();
    // A file choice taken as the dialog offers it: the proposed file name.
    ScriptedResponder& AcceptOffered();

    std::vector<Shown> shown;
    DateTimeValue now = 46366.5;  // 10 December 2026, noon

    int ShowMessage(const MessageRequest& request) override;
    std::optional<std::wstring> InputText(const std::wstring& caption, const std::wstring& prompt,
                                          const std::wstring& initial) override;
    bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                         const std::vector<std::wstring>& lines) override;
    int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption,
                     const std::wstring& title, int defaultIndex) override;
    std::optional<std::wstring> ChooseOpenFile(const FileChoice& choice) override;
    std::optional<std::wstring> ChooseSaveFile(const FileChoice& choice) override;
    std::optional<std::wstring> ChooseFolder(const std::wstring& title, const std::wstring& start) override;
    bool ShellOpen(const std::wstring& target, const std::wstring& parameters) override;
    DateTimeValue Now() override { return now; }

private:
    struct Step {
        bool cancel = false;
        bool isText = false;
        bool unanswered = false;
        int number = 0;
        std::wstring text;
        bool offered = false;
    };
    std::optional<Step> Next();
    std::optional<std::wstring> TextAnswer(const std::wstring& offered = {});
    std::deque<Step> script_;
    ModalResponder* previous_;
};
