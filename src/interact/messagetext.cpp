#include "interact/messagetext.h"

#include "util/textedit.h"
#include "util/textfields.h"

namespace {

bool Has(const std::wstring& text, wchar_t c) { return text.find(c) != std::wstring::npos; }
bool StartsWith(const std::wstring& text, wchar_t c) { return !text.empty() && text[0] == c; }

void DropLeading(std::wstring& text, wchar_t c) {
    size_t n = 0;
    while (n + 1 < text.size() && text[n] == c) ++n;
    text.erase(0, n);
}

}  // namespace

MessageIcons IconsFor(const std::wstring& caption, const std::wstring& headline) {
    MessageIcons icons;
    icons.info = StartsWith(headline, L'*');
    icons.stop = StartsWith(caption, L'%') || StartsWith(headline, L'%');
    icons.exclamation = Has(caption, L'!') || Has(headline, L'!');
    icons.question = Has(caption, L'?') || Has(headline, L'?');
    return icons;
}

std::wstring StripMarkers(std::wstring text) {
    for (wchar_t c : {L'!', L'*', L'%'}) DropLeading(text, c);
    return text;
}

std::wstring FlattenLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            out += L"<br>";
            ++i;
        } else {
            out += c < 32 ? L' ' : c;
        }
    }
    return out;
}

std::wstring MessageMarkup(const std::wstring& headline, const std::wstring& body) {
    if (body.empty()) return FlattenLineBreaks(headline);
    return L"<b>" + FlattenLineBreaks(headline) + L"</b><br>   " + FlattenLineBreaks(body);
}

bool IsQuestion(const std::wstring& headline) { return Has(headline, L'?'); }

bool SecondButtonShown(const std::wstring& headline, const std::wstring& body, bool destructive) {
    return destructive || IsQuestion(headline) || !body.empty();
}

int UnansweredResult(const MessageRequest& request) { return request.destructive ? 2 : 1; }

std::wstring SecondButtonName(const std::wstring& headline) { return IsQuestion(headline) ? L"Nie" : L"Anuluj"; }

std::pair<std::wstring, std::wstring> SplitMessage(const std::wstring& text) {
    std::wstring headline = FieldAt(L'\r', 1, text);
    // The line break after the headline is two characters long.
    std::wstring body = text.size() > headline.size() + 2 ? text.substr(headline.size() + 2) : std::wstring();
    TrimSpaces(headline);
    TrimSpaces(body);
    return {headline, body};
}

std::wstring ErrorText(const std::wstring& text) {
    if (text.size() > 1 && text[0] != L'%') return L"%" + text;
    return text;
}

std::pair<std::wstring, bool> InputPrompt(const std::wstring& prompt) {
    if (!StartsWith(prompt, L'#')) return {prompt, false};
    return {prompt.substr(1, 199), true};
}
