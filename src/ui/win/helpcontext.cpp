#include "ui/win/helpcontext.h"

#include "ui/win/control.h"

namespace {

using Handler = std::function<void(int, HelpKind)>;

Handler& Installed() {
    static Handler handler;
    return handler;
}

Handler& Default() {
    static Handler handler;
    return handler;
}

void Show(int context, HelpKind kind) {
    if (Installed()) Installed()(context, kind);
    else if (Default()) Default()(context, kind);
}

}  // namespace

void SetHelpContextHandler(Handler handler) { Installed() = std::move(handler); }

void SetDefaultHelpHandler(Handler handler) { Default() = std::move(handler); }

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
