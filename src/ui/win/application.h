#pragma once
// The application object: title, main form, the message loop, message
// pumping for long work, and the one place where failures that reach the
// message loop are turned into messages for the user.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

class Form;

class Application {
public:
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& t) { title_ = t; }

    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* f) { mainForm_ = f; }
    // Shows the main form and runs the message loop until it closes.
    void Run();
    // Handles the waiting messages and returns; windows stay painted and
    // answer during long work. Returns false once the program is ending.
    bool ProcessMessages();
    bool Terminated() const { return terminated_; }

    // Handler for failures that reach the message loop; without one they are
    // shown in a plain message box.
    std::function<void(const std::wstring& message)> OnException;
    void HandleException(std::exception_ptr e);

    // Called whenever a form of the program becomes active; the previous
    // handler is the caller's to chain.
    std::function<void(Form* form)> OnActiveFormChange;
    Form* ActiveForm() const { return activeForm_; }

    // The help file opened by the windows' help commands.
    const std::wstring& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::wstring& path) { helpFile_ = path; }

    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool v) { showHints_ = v; }

    const std::vector<Form*>& Forms() const { return forms_; }

    // Keyboard handling of the form a message is meant for.
    bool PreTranslate(MSG& msg);

    // Bookkeeping by Form.
    void FormCreated(Form* f);
    void FormDestroyed(Form* f);
    void FormActivated(Form* f);

private:
    std::wstring title_;
    std::wstring helpFile_;
    Form* mainForm_ = nullptr;
    Form* activeForm_ = nullptr;
    std::vector<Form*> forms_;
    bool terminated_ = false;
    bool showHints_ = true;
    bool handling_ = false;
};

Application& App();

// The text of a failure, whatever was thrown.
std::wstring ExceptionMessage(std::exception_ptr e);
