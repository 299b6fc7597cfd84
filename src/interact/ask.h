#pragma once
// Messages, questions and simple inputs. Every one passes through the modal
// seam (interact/seam.h): the program shows its own dialog, a test answers
// from a script. The caption is the application's title and the remembered
// answers are the program's (interact/programside.h).
//
// Marker characters in the text choose icons and buttons: "%" first shows
// the stop sign, "*" first the information icon, "!" anywhere the
// exclamation, "?" anywhere the question with the buttons "Tak"/"Nie".
#include <string>
#include <vector>

#include "interact/seam.h"

// The central dialog: 1 for "OK"/"Tak", 2 for "Anuluj"/"Nie". With a timeout
// of 0, or when offered and the user chose "do not show again" for the key,
// nothing shows and the result is 1.
int MessageDialog(const std::wstring& caption, const std::wstring& headline, const std::wstring& body, int timeout,
                  bool offerDontShowAgain, const std::wstring& key, const std::wstring& info);

// The text's first line is the headline, the rest the body; the caption is
// the application's title. True for "OK"/"Tak".
bool Ask(const std::wstring& text);
bool AskRemembered(const std::wstring& text, const std::wstring& key, bool offerDontShowAgain);
bool AskHeadline(const std::wstring& headline, const std::wstring& body);
bool AskWithInfo(const std::wstring& headline, const std::wstring& body, const std::wstring& info);

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
