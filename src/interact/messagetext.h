#pragma once
// The rules of the message dialog's text: marker characters choose icons and
// buttons, the markers are stripped from what is shown, and headline and body
// become one markup text. Kept apart from the window so they can be checked
// on their own.
#include <string>
#include <utility>

#include "interact/seam.h"

// Icons chosen by markers: "*" first in the headline (information), "%"
// first in the caption or headline (stop), "!" and "?" anywhere in either.
struct MessageIcons {
    bool info = false;
    bool stop = false;
    bool exclamation = false;
    bool question = false;
    bool operator==(const MessageIcons&) const = default;
};
MessageIcons IconsFor(const std::wstring& caption, const std::wstring& headline);

// Drops the leading "!" characters, then the leading "*", then the leading
// "%"; each run stops when one character is left.
std::wstring StripMarkers(std::wstring text);

// CR LF becomes "<br>", any other character below 32 a space.
std::wstring FlattenLineBreaks(const std::wstring& text);

// The label's markup: the headline alone, or the bold headline, a break,
// three spaces and the body. Both are flattened first.
std::wstring MessageMarkup(const std::wstring& headline, const std::wstring& body);

// "?" in the headline asks a question: the buttons read "&Tak" and "&Nie".
bool IsQuestion(const std::wstring& headline);
// The second button shows for a question, when there is a body, and always
// for a destructive question (its answer that keeps the data).
bool SecondButtonShown(const std::wstring& headline, const std::wstring& body, bool destructive = false);

// The result of a message nobody answers (its countdown ended, another window
// of the program became active, or it was not to be shown): 1, "OK", except
// for a destructive question, which takes 2, the answer that keeps the data.
int UnansweredResult(const MessageRequest& request);
// The caption of the second button without its "&": "Nie" for a question,
// "Anuluj" otherwise.
std::wstring SecondButtonName(const std::wstring& headline);

// A message text split at its first line break into headline and body, both
// trimmed of spaces.
std::pair<std::wstring, std::wstring> SplitMessage(const std::wstring& text);

// The text of a failure raised as an error: "%" in front unless it is there
// already or the text is a single character.
std::wstring ErrorText(const std::wstring& text);

// An input prompt that starts with "#" asks for a secret: the prompt shown
// (characters 2 to 200) and whether the typing is masked.
std::pair<std::wstring, bool> InputPrompt(const std::wstring& prompt);
