#include "scripted_responder.h"

#include "interact/messagetext.h"

ScriptedResponder::ScriptedResponder() : previous_(SetModalResponder(this)) {}

ScriptedResponder::~ScriptedResponder() { SetModalResponder(previous_); }

ScriptedResponder& ScriptedResponder::Answer(int result) {
    script_.push_back({false, false, false, result, {}});
    return *this;
}

ScriptedResponder& ScriptedResponder::Answer(std::wstring text) {
    script_.push_back({false, true, false, 0, std::move(text)});
    return *this;
}

ScriptedResponder& ScriptedResponder::Cancel() {
    script_.push_back({true, false, false, 0, {}});
    return *this;
}

ScriptedResponder& ScriptedResponder::Unanswered() {
    script_.push_back({false, false, true, 0, {}});
    return *this;
}

ScriptedResponder& ScriptedResponder::AcceptOffered() {
    Step step;
    step.offered = true;
    script_.push_back(step);
    return *this;
}

std::optional<ScriptedResponder::Step> ScriptedResponder::Next() {
    if (script_.empty()) return std::nullopt;
    Step s = script_.front();
    script_.pop_front();
    return s;
}

std::optional<std::wstring> ScriptedResponder::TextAnswer(const std::wstring& offered) {
    auto s = Next();
    if (!s || s->cancel) return std::nullopt;
    if (s->offered) return offered;
    return s->isText ? s->text : std::to_wstring(s->number);
}

int ScriptedResponder::ShowMessage(const MessageRequest& request) {
    shown.push_back({L"message", request.caption, request.headline, request.body, request, {}});
    auto s = Next();
    if (!s || s->unanswered) return UnansweredResult(request);
    return s->cancel ? 2 : s->number;
}

std::optional<std::wstring> ScriptedResponder::InputText(const std::wstring& caption, const std::wstring& prompt,
                                                         const std::wstring& initial) {
    shown.push_back({L"input", caption, prompt, initial, {}, {}});
    return TextAnswer();
}

bool ScriptedResponder::ShowMessageList(const std::wstring& caption, const std::wstring& title,
                                        const std::vector<std::wstring>& lines) {
    shown.push_back({L"list", caption, title, {}, {}, lines});
    auto s = Next();
    return s && !s->cancel && s->number != 2;
}

int ScriptedResponder::PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption,
                                    const std::wstring& title, int defaultIndex) {
    shown.push_back({L"pick", caption, title, {}, {}, items});
    auto s = Next();
    return !s || s->cancel ? defaultIndex : s->number;
}

std::optional<std::wstring> ScriptedResponder::ChooseOpenFile(const FileChoice& choice) {
    shown.push_back({L"open", choice.title, choice.initialDir, choice.fileName, {}, {choice.filter}});
    return TextAnswer(choice.fileName);
}

std::optional<std::wstring> ScriptedResponder::ChooseSaveFile(const FileChoice& choice) {
    shown.push_back({L"save", choice.title, choice.initialDir, choice.fileName, {}, {choice.filter}});
    return TextAnswer(choice.fileName);
}

std::optional<std::wstring> ScriptedResponder::ChooseFolder(const std::wstring& title, const std::wstring& start) {
    shown.push_back({L"folder", title, start, {}, {}, {}});
    return TextAnswer();
}

bool ScriptedResponder::ShellOpen(const std::wstring& target, const std::wstring& parameters) {
    shown.push_back({L"shell", {}, target, parameters, {}, {}});
    return true;
}
