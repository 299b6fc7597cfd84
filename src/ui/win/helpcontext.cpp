#include "ui/win/helpcontext.h"

#include <windows.h>

#include "ui/win/application.h"
#include "ui/win/control.h"
#include "ui/win/form.h"

namespace {

std::function<void(int, HelpKind)>& Handler() {
    static std::function<void(int, HelpKind)> handler;
    return handler;
}

void Show(int context, HelpKind kind) {
    if (Handler()) {
        Handler()(context, kind);
        return;
    }
    const std::wstring& file = App().HelpFile();
    if (file.empty() || context == 0) return;
    HWND owner = App().ActiveForm() ? App().ActiveForm()->Handle() : nullptr;
    WinHelpW(owner, file.c_str(), kind == HelpKind::Popup ? HELP_CONTEXTPOPUP : HELP_CONTEXT, static_cast<ULONG_PTR>(context));
}

}  // namespace

void SetHelpContextHandler(std::function<void(int context, HelpKind kind)> handler) { Handler() = std::move(handler); }

void ShowHelpContext(int context) { Show(context, HelpKind::Topic); }

void ShowHelpPopup(int context) { Show(context, HelpKind::Popup); }

int HelpContextOf(const Control* control) {
    for (const Control* c = control; c; c = c->Parent())
        if (c->HelpContext != 0) return c->HelpContext;
    return 0;
}

bool ShowHelpFor(const Control* control) {
    int context = HelpContextOf(control);
    if (context == 0) return false;
    ShowHelpContext(context);
    return true;
}
