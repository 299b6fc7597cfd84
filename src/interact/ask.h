#pragma once
// Messages, questions and simple inputs. Every one passes through the modal
// seam (interact/seam.h): the program shows its own dialog, a test answers
// from a script. The caption is the application's title and the remembered
// answers are the program's (interact/programside.h).
//
// Marker characters in the text choose icons and buttons: "%" first shows
// the stop sign, "*" first the information icon, "!" anywhere the
// exclamation, "?" anywhere the question with the buttons "Tak"/"Nie".
//
// A question whose positive answer replaces, deletes or overwrites the
// user's data is asked as Question::Destructive:
//
//   if (!Ask(L"Czy na pewno zastąpić plik " + path + L"?", Question::Destructive)) return;
//
// Nothing but the user's own press answers it "Tak"/"OK": left alone until
// its countdown ends, closed by another window of the program becoming
// active, or asked with a timeout of 0, it takes the answer that keeps the
// data ("Nie"/"Anuluj"), and its countdown says so. It always shows its
// second button and never offers "do not show again" (a remembered answer
// would be an automatic "yes"). A plain question, whose positive answer only
// creates something, closes as "OK" as always.
#include <string>
#include <vector>

#include "interact/seam.h"

enum class Question { Plain, Destructive };

// The central dialog: 1 for "OK"/"Tak", 2 for "Anuluj"/"Nie". With a timeout
// of 0, or when offered and the user chose "do not show again" for the key,
// nothing shows and the result is 1 (2 for a destructive question, which is
// always shown unless the timeout is 0).
int MessageDialog(const std::wstring& caption, const std::wstring& headline, const std::wstring& body, int timeout,
                  bool offerDontShowAgain, const std::wstring& key, const std::wstring& info,
                  Question kind = Question::Plain);

// The text's first line is the headline, the rest the body; the caption is
// the application's title. True for "OK"/"Tak".
bool Ask(const std::wstring& text, Question kind = Question::Plain);
// Remembered answers are for plain questions and messages only.
bool AskRemembered(const std::wstring& text, const std::wstring& key, bool offerDontShowAgain);
bool AskHeadline(const std::wstring& headline, const std::wstring& body, Question kind = Question::Plain);
bool AskWithInfo(const std::wstring& headline, const std::wstring& body, const std::wstring& info,
                 Question kind = Question::Plain);

// Raises a failure with the stop mark "%" (texts of one character as they are).
[[noreturn]] void RaiseError(const std::wstring& text);
// Raises a plain failure with the text when the condition holds.
bool RaiseIf(bool condition, const std::wstring& text);

// One-line input; the default when cancelled. A prompt that starts with "#"
// loses it and masks the typing.
std::wstring InputText(const std::wstring& caption, const std::wstring& prompt, const std::wstring& defaultText);
// A list of lines (one item per line of the text) under a title; true for OK.
bool ShowMessageList(const std::wstring& caption, const std::wstring& title, const std::wstring& lines);
// One item chosen from the list: its index, -1 when OK with none chosen, the
// default when cancelled. An empty list raises a failure.
int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& title,
                 int defaultIndex);

std::wstring YesNoText(bool value);
bool IsYesWord(const std::wstring& text);

// The "do not show again" key of the dialog being shown ("-" when not offered).
const std::wstring& CurrentDialogKey();
