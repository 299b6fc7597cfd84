#include "ui/win/application.h"

#include <algorithm>

#include "ui/win/form.h"
#include "util/cp1250.h"
#include "util/failure.h"

Application& App() {
    static Application app;
    return app;
}

std::wstring ExceptionMessage(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const Failure& f) {
        return f.message();
    } catch (const std::bad_alloc&) {
        return L"%Zabrakło pamięci.";
    } catch (const std::exception& x) {
        return Utf8ToWide(x.what());
    } catch (...) {
        return L"%Nieznany błąd.";
    }
}

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

bool Application::PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* form = dynamic_cast<Form*>(WinControl::FromHandle(root));
    return form && form->PreTranslate(msg);
}

void Application::Run() {
    if (mainForm_) mainForm_->Show();
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

void Application::FormCreated(Form* f) { forms_.push_back(f); }

void Application::FormDestroyed(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    if (activeForm_ == f) activeForm_ = nullptr;
    if (mainForm_ == f) mainForm_ = nullptr;
}

void Application::FormActivated(Form* f) {
    activeForm_ = f;
    if (OnActiveFormChange) OnActiveFormChange(f);
}
