#pragma once
// Context help by number, from the program's help file (App().HelpFile()).
// A handler installed here takes the requests instead (tests, or a help
// viewer of the program's own).
#include <functional>

enum class HelpKind { Topic, Popup };

void SetHelpContextHandler(std::function<void(int context, HelpKind kind)> handler);
// The help topic of a help button.
void ShowHelpContext(int context);
// The small context-help window of a menu item.
void ShowHelpPopup(int context);
