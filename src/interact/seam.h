#pragma once
// The seam for modal interactions. Every question, message, input, pick list,
// file or folder choice, shell hand-over and reading of the clock passes
// through the installed ModalResponder. The program installs nothing and gets
// its own windows (registered with its side, interact/programside.h); a test
// installs a scripted responder that answers and records what would have
// been shown.
#include <optional>
#include <string>
#include <vector>

#include "util/datetime.h"

// What the central message dialog is asked to show (markers still in place).
struct MessageRequest {
    std::wstring caption;
    std::wstring headline;
    std::wstring body;
    int timeout = 122;                // seconds; negative: no countdown
    bool offerDontShowAgain = false;
    std::wstring key = L"-";          // "do not show again" key
    std::wstring info;                // text behind the "?" info label
    // The positive answer replaces, deletes or overwrites data (ask.h,
    // Question::Destructive): only the user's own press answers it so.
    bool destructive = false;
};

// An open or save dialog. filter uses the "Opis|*.ext|Opis|*.ext" form.
struct FileChoice {
    std::wstring title;
    std::wstring filter;
    std::wstring defaultExt;
    std::wstring initialDir;
    std::wstring fileName;
};

class ModalResponder {
public:
    virtual ~ModalResponder() = default;
    // Modal result: 1 = "OK"/"Tak", 2 = "Anuluj"/"Nie".
    virtual int ShowMessage(const MessageRequest& request) = 0;
    // nullopt when cancelled.
    virtual std::optional<std::wstring> InputText(const std::wstring& caption, const std::wstring& prompt,
                                                  const std::wstring& initial) = 0;
    virtual bool ShowMessageList(const std::wstring& caption, const std::wstring& title,
                                 const std::vector<std::wstring>& lines) = 0;
    // The chosen index; defaultIndex when cancelled, -1 when OK with nothing chosen.
    virtual int PickFromList(const std::vector<std::wstring>& items, const std::wstring& caption,
                             const std::wstring& title, int defaultIndex) = 0;
    virtual std::optional<std::wstring> ChooseOpenFile(const FileChoice& choice) = 0;
    virtual std::optional<std::wstring> ChooseSaveFile(const FileChoice& choice) = 0;
    virtual std::optional<std::wstring> ChooseFolder(const std::wstring& title, const std::wstring& start) = 0;
    // Opens a document, folder or address with the shell; false when it failed.
    virtual bool ShellOpen(const std::wstring& target, const std::wstring& parameters) = 0;
    // Local time now.
    virtual DateTimeValue Now() = 0;
};

// The responder in force: the installed one, else the program's own windows
// (interact/programside.h).
ModalResponder& Modal();

// Installs a responder and returns the previous one; nullptr puts the
// program's own windows back.
ModalResponder* SetModalResponder(ModalResponder* responder);
