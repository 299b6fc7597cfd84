#include "ui/kit/helpcontext.h"

namespace {
std::function<void(int)>& Handler() {
    static std::function<void(int)> handler;
    return handler;
}
}  // namespace

void SetHelpContextHandler(std::function<void(int context)> handler) { Handler() = std::move(handler); }

void ShowHelpContext(int context) {
    if (Handler()) Handler()(context);
}
