#pragma once
// Context help by number. The program installs the handler once its help
// file is known; until then a request does nothing.
#include <functional>

void SetHelpContextHandler(std::function<void(int context)> handler);
void ShowHelpContext(int context);
