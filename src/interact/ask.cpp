#include "interact/ask.h"

#include "interact/messagetext.h"
#include "interact/programside.h"
#include "util/failure.h"
#include "util/textcase.h"

namespace {

const int kTimeout = 122;

std::wstring dialogKey = L"-";

std::wstring Title() {
    ProgramSide* side = CurrentProgramSide();
    return side ? side->Title() : std::wstring();
}

}  // namespace

const std::wstring& CurrentDialogKey() { return dialogKey; }

int MessageDialog(const std::wstring& caption, const std::wstring& headline, const std::wstring& body, int timeout,
                  bool offerDontShowAgain, const std::wstring& key, const std::wstring& info, Question kind) {
    const bool destructive = kind == Question::Destructive;
    if (destructive) offerDontShowAgain = false;
    dialogKey = offerDontShowAgain ? key : L"-";
    if (timeout == 0) return destructive ? 2 : 1;
    if (offerDontShowAgain) {
        ProgramSide* side = CurrentProgramSide();
        if (side && side->Remembered(key)) return 1;
    }
    MessageRequest r;
    r.caption = caption;
    r.headline = headline;
    r.body = body;
    r.timeout = timeout;
    r.offerDontShowAgain = offerDontShowAgain;
    r.key = dialogKey;
    r.info = info;
    r.destructive = destructive;
    return Modal().ShowMessage(r);
}

bool AskRemembered(const std::wstring& text, const std::wstring& key, bool offerDontShowAgain) {
    auto [headline, body] = SplitMessage(text);
    return MessageDialog(Title(), headline, body, kTimeout, offerDontShowAgain, key, {}) == 1;
}

bool Ask(const std::wstring& text, Question kind) {
    auto [headline, body] = SplitMessage(text);
    return MessageDialog(Title(), headline, body, kTimeout, false, L"-", {}, kind) == 1;
}

bool AskHeadline(const std::wstring& headline, const std::wstring& body, Question kind) {
    return MessageDialog(Title(), headline, body, kTimeout, false, L"-", {}, kind) == 1;
}

bool AskWithInfo(const std::wstring& headline, const std::wstring& body, const std::wstring& info, Question kind) {
    return MessageDialog(Title(), headline, body, kTimeout, false, L"-", info, kind) == 1;
}

void RaiseError(const std::wstring& text) {
    if (ProgramSide* side = CurrentProgramSide()) side->FailureRaised();
    throw Failure(ErrorText(text));
}

bool RaiseIf(bool condition, const std::wstring& text) {
    if (condition) throw Failure(text);
    return condition;
}

std::wstring InputText(const std::wstring& caption, const std::wstring& prompt, const std::wstring& defaultText) {
    return Modal().InputText(caption, prompt, defaultText).value_or(defaultText);
}

bool ShowMessageList(const std::wstring& caption, const std::wstring& title, const std::wstring& lines) {
    std::vector<std::wstring> items;
    size_t start = 0;
    while (start <= lines.size()) {
        size_t end = lines.find(L'\n', start);
        std::wstring line = lines.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (end == std::wstring::npos) {
            if (!line.empty()) items.push_back(line);
            break;
        }
        items.push_back(line);
        start = end + 1;
    }
    return Modal().ShowMessageList(caption, title, items);
}

int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                 int defaultIndex) {
    if (items.empty()) throw Failure(L"Niestety, nie ma z czego wybierać. Lista jest pusta!\r\n" + caption);
    return Modal().PickFromList(items, caption, title, defaultIndex);
}

std::wstring YesNoText(bool value) { return value ? L"TAK" : L"NIE"; }

bool IsYesWord(const std::wstring& text) {
    std::wstring t = LowerCase(text);
    return t == L"tak" || t == L"1" || t == L"yes" || t == L"ok" || t == L"true" || t == L"prawda";
}
