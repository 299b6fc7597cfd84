#pragma once
// The application object: title, main form, the message loop, message
// pumping for long work, the help file, and the one place where failures
// that reach the message loop are turned into messages for the user. It
// stands on top of the window base: it registers itself as the handler of
// the controls' failures, the listener of the forms' activation and the
// default help, and reads the list of forms from Form.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

class Form;

class Application {
public:
    Application();

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& t) { title_ = t; }

    Form* MainForm() const;
    void SetMainForm(Form* f);
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
    Form* ActiveForm() const;

    // The help file opened by the windows' help commands.
    const std::wstring& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::wstring& path) { helpFile_ = path; }

    bool ShowHints() const;
    void SetShowHints(bool v);

    const std::vector<Form*>& Forms() const;

    // Keyboard handling of the form a message is meant for.
    bool PreTranslate(MSG& msg);

private:
    std::wstring title_;
    std::wstring helpFile_;
    bool terminated_ = false;
    bool handling_ = false;
};

Application& App();
