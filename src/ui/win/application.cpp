#include "ui/win/application.h"

#include "ui/win/form.h"
#include "ui/win/helpcontext.h"
#include "util/failure.h"

Application& App() {
    static Application app;
    return app;
}

Application::Application() {
    SetFailureHandler([this](std::exception_ptr e) { HandleException(e); });
    Form::SetActivationListener([this](Form* f) {
        if (OnActiveFormChange) OnActiveFormChange(f);
    });
    SetDefaultHelpHandler([this](int context, HelpKind kind) {
        if (helpFile_.empty() || context == 0) return;
        HWND owner = Form::Active() ? Form::Active()->Handle() : nullptr;
        WinHelpW(owner, helpFile_.c_str(), kind == HelpKind::Popup ? HELP_CONTEXTPOPUP : HELP_CONTEXT,
                 static_cast<ULONG_PTR>(context));
    });
}

Form* Application::MainForm() const { return Form::Main(); }
void Application::SetMainForm(Form* f) { Form::SetMain(f); }
Form* Application::ActiveForm() const { return Form::Active(); }
const std::vector<Form*>& Application::Forms() const { return Form::All(); }
bool Application::ShowHints() const { return Form::HintsShown(); }
void Application::SetShowHints(bool v) { Form::ShowHints(v); }

void Application::HandleException(std::exception_ptr e) {
    std::wstring message = ExceptionMessage(e);
    // A failure inside the handler itself must not recurse.
    if (handling_ || !OnException) {
        MessageBoxW(nullptr, message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return;
    }
    handling_ = true;
    try {
        OnException(message);
    } catch (...) {
        handling_ = false;
        MessageBoxW(nullptr, message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return;
    }
    handling_ = false;
}

bool Application::PreTranslate(MSG& msg) { return Form::PreTranslateMessage(msg); }

void Application::Run() {
    if (Form* main = MainForm()) main->Show();
    MSG msg;
    while (!terminated_) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r <= 0) break;
        try {
            if (!PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    terminated_ = true;
}

bool Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !terminated_;
}
